// The player pane's widgets with stub parts: construction, layout, painting,
// view modes, the volume, speed and brightness controls, keys and mouse,
// flips and snapshots.

#include "PlayerPaneFixtures.h"
#include "controls/CBitmapSlider.h"
#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "controls/CMySliderControl.h"
#include "controls/CPicture.h"
#include "controls/ControlsTestSupport.h"
#include "controls/SkinSupport.h"
#include "core/resources/ResourceManager.h"
#include "hub/HubCodes.h"
#include "support/hub/HubHarness.h"
#include "platform/gdi/GdiCompat.h"
#include "support/EventLoop.h"
#include "support/gui/KeyRecorder.h"
#include "support/gui/Screenshot.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QtTest/QTest>
#include <QPainter>
#include <QLabel>
#include <QSlider>

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace playerpane;
using namespace playerpanetest;
using controlstest::FakeImageSource;

using PlayerPaneWidget = PlayerPaneTest;

TEST_F(PlayerPaneWidget, BuildsTheTemplateMakesThePartsInOrderAndStartsWithNothingPlaying)
{
    CVideoPlayerPane& p = Make();
    EXPECT_EQ(stubs.made, (std::vector<std::string>{"channel1", "channel2", "gyroscope"}));
    EXPECT_EQ(stubs.channel1->parentWidget(), &p);
    EXPECT_TRUE(stubs.gyroscope->isVisible());
    EXPECT_EQ(stubs.gyroscope->ClearGraphCalls(), 0);

    // Controls of the template, by id, of the classes that draw them.
    for (int id : {PositionSlider, playerpane::SpeedSlider, playerpane::BrightnessSlider})
        EXPECT_NE(Control<CMySliderControl>(id), nullptr) << id;
    for (int id : {PreviousButton, RewindButton, PlayButton, ForwardButton, NextButton, FullViewButton})
        EXPECT_NE(Control<CButtonStyle>(id), nullptr) << id;
    for (int id : {SpeedDefaultButton, BrightnessDefaultButton, MuteButton, FrontViewButton, RearViewButton,
                   BothViewButton})
        EXPECT_NE(Control<CMyBitmapButton>(id), nullptr) << id;
    ASSERT_NE(Control<CBitmapSlider>(VolumeControl), nullptr);
    EXPECT_EQ(Control<CBitmapSlider>(VolumeControl)->GetControlId(), VolumeControl);
    EXPECT_NE(Control<CPicture>(Speedometer), nullptr);
    ASSERT_NE(Control<QSlider>(VolumeTrackbar), nullptr);
    EXPECT_FALSE(Control(VolumeTrackbar)->isVisible());
    EXPECT_EQ(Control<QSlider>(VolumeTrackbar)->value(), 50);
    EXPECT_EQ(p.findChild<QWidget*>("1148"), Control(PositionSlider));

    // Texts as the template has them; the unused labels stay hidden.
    EXPECT_EQ(Label(TimeCaption)->text(), QStringLiteral("Время записи"));
    EXPECT_EQ(Label(ElapsedLabel)->text(), "00:00");
    EXPECT_EQ(Label(SeparatorLabel)->text(), "/");
    EXPECT_EQ(Label(TotalLabel)->text(), "00:00");
    EXPECT_TRUE(Label(TotalLabel)->alignment() & Qt::AlignRight);
    EXPECT_EQ(Label(SpeedCaption)->text(), QStringLiteral("Скорость воспроизведения"));
    EXPECT_EQ(Label(SpeedLabel)->text(), "1.00 x");
    for (int id : {UnusedLabel1, UnusedLabel2, UnusedLabel3})
        EXPECT_FALSE(Label(id)->isVisible()) << id;

    // Nothing playing: transport and position slider disabled, view mode 1
    // with the view buttons hidden, only the front channel shown.
    for (int id : {PreviousButton, RewindButton, PlayButton, ForwardButton, NextButton})
        EXPECT_FALSE(Control(id)->isEnabled()) << id;
    EXPECT_FALSE(Control(PositionSlider)->isEnabled());
    EXPECT_FALSE(p.IsPlayerSliderEnabled());
    EXPECT_EQ(p.ViewMode(), 1);
    for (int id : {FrontViewButton, RearViewButton, BothViewButton})
        EXPECT_FALSE(Control(id)->isVisible()) << id;
    EXPECT_TRUE(stubs.channel1->isVisible());
    EXPECT_FALSE(stubs.channel2->isVisible());
    EXPECT_FALSE(Control(FullViewButton)->isVisible());

    // Slider settings and values.
    EXPECT_EQ(Control<CMySliderControl>(PositionSlider)->GetRangeMax(), 10000);
    EXPECT_EQ(p.SpeedSlider().GetRangeMin(), 1);
    EXPECT_EQ(p.SpeedSlider().GetRangeMax(), 7);
    EXPECT_EQ(p.SpeedSlider().GetPos(), 4);
    EXPECT_EQ(p.BrightnessSlider().GetPos(), 50);
    EXPECT_EQ(Control<CBitmapSlider>(VolumeControl)->GetPos(), 50);
    EXPECT_EQ(p.CurrentSeekStep(), 5);
    EXPECT_EQ(p.GyroscopePane(), stubs.gyroscope);
}

TEST_F(PlayerPaneWidget, TooltipsCarryTheirStoredTexts)
{
    Make();
    const std::vector<std::pair<int, QString>> tips{
        {PreviousButton, QStringLiteral("Предыдущий ??")},
        {RewindButton, QStringLiteral("?? ??")},
        {PlayButton, QStringLiteral("?\?/?? ??")},
        {ForwardButton, QStringLiteral("Вперед")},
        {NextButton, QStringLiteral("Следующий ??")},
        {SpeedDefaultButton, QStringLiteral("Скорость по умолчанию")},
        {MuteButton, QStringLiteral("Режим без звука вкл./выкл.")},
        {playerpane::BrightnessSlider, QStringLiteral("Яркость")},
        {BrightnessDefaultButton, QStringLiteral("Яркость по умолчанию")},
        {playerpane::SpeedSlider, QStringLiteral("Скорость воспроизведения")},
        {FullViewButton, QStringLiteral("Полный/обычный")},
        {VolumeControl, QStringLiteral("Громкость")},
    };
    for (const auto& [id, text] : tips)
        EXPECT_EQ(Control(id)->toolTip(), text) << id;
}

TEST_F(PlayerPaneWidget, LayoutPlacesEveryControlAndPartAtEachSizeAndView)
{
    CVideoPlayerPane& p = Make({754, 655});
    struct Step {
        QSize size;
        bool maximized;
    };
    for (const Step& step : {Step{{1001, 700}, false}, Step{{1001, 700}, true}, Step{{754, 655}, true},
                             Step{{754, 655}, false}, Step{{720, 655}, false}}) {
        hub.SetMaximized(step.maximized);
        p.resize(step.size.width() + 1, step.size.height());  // a size change each step
        p.resize(step.size);
        const PaneLayout layout = PlayerPaneLayout(step.size.width(), step.size.height(), step.maximized);
        for (const PlacedControl& placed : layout.controls)
            EXPECT_EQ(Control(placed.id)->geometry(), placed.rect) << placed.id << " at " << step.size.width();
        EXPECT_EQ(stubs.gyroscope->geometry(), layout.gyroscope);
        EXPECT_EQ(stubs.gyroscope->isVisible(), !step.maximized);
        EXPECT_EQ(Control(FullViewButton)->isVisible(), step.maximized);
        const QRect video = VideoPaneRects(step.size.width(), step.size.height(), step.maximized, false).channel1;
        EXPECT_EQ(stubs.channel1->geometry(), video);
        EXPECT_EQ(stubs.channel2->geometry(), video);
    }
    EXPECT_EQ(Control(PreviousButton)->x(), 0);  // 720 wide: the control row starts at the left edge
}

TEST_F(PlayerPaneWidget, BothChannelsShareAnOddWidthAndTheLastColumnStaysBlack)
{
    CVideoPlayerPane& p = Make({1001, 700});
    p.OnBnClickedAllChannelVideoBtn();
    EXPECT_EQ(stubs.channel1->geometry(), QRect(0, 0, 500, 455));
    EXPECT_EQ(stubs.channel2->geometry(), QRect(500, 0, 500, 455));
    const QImage grab = testsupport::Grab(p);
    for (int y : {0, 200, 454}) {
        EXPECT_EQ(grab.pixel(499, y), kChannel1Colour.rgb());
        EXPECT_EQ(grab.pixel(500, y), kChannel2Colour.rgb());
        EXPECT_EQ(grab.pixel(1000, y), qRgb(0, 0, 0)) << y;
    }
}

TEST_F(PlayerPaneWidget, AResizeBeforeInitialisationPlacesNothing)
{
    CVideoPlayerPane& p = Make({754, 655}, false);
    p.resize(1001, 700);
    EXPECT_EQ(Control(PositionSlider)->geometry(), QRect(0, 0, 0, 0));
    EXPECT_EQ(Control(Speedometer)->geometry(), QRect(0, 0, 0, 0));
    EXPECT_EQ(stubs.channel1, nullptr);  // no part made yet
    EXPECT_NO_FATAL_FAILURE(testsupport::Grab(p));
}

TEST_F(PlayerPaneWidget, ViewButtonsSwitchModesChannelsAndBitmaps)
{
    CVideoPlayerPane& p = Make({754, 655});
    struct Row {
        int button;
        int mode;
        bool channel1, channel2;
        std::array<int, 3> shown;  // the three buttons' normal bitmaps
    };
    const std::vector<Row> rows{
        {RearViewButton, 2, false, true, {300, 301, 298}},
        {RearViewButton, 2, false, true, {300, 301, 298}},  // the current mode: nothing changes
        {BothViewButton, 3, true, true, {300, 302, 297}},
        {FrontViewButton, 1, true, false, {299, 302, 298}},
        {BothViewButton, 3, true, true, {300, 302, 297}},
    };
    for (const Row& row : rows) {
        const std::size_t asked = fakeImages.requests.size();
        qobject_cast<QAbstractButton*>(Control(row.button))->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(p.ViewMode(), row.mode);
        EXPECT_EQ(stubs.channel1->isVisible(), row.channel1) << row.mode;
        EXPECT_EQ(stubs.channel2->isVisible(), row.channel2) << row.mode;
        const std::array<int, 3> ids{FrontViewButton, RearViewButton, BothViewButton};
        for (std::size_t i = 0; i < ids.size(); ++i)
            EXPECT_EQ(ShownAt(ids[i]), BitmapColour(row.shown[i])) << row.mode << " button " << ids[i];
        const QRect full(0, 0, 754, 410);
        EXPECT_EQ(stubs.channel1->geometry(), row.mode == 3 ? QRect(0, 0, 377, 410) : full);
        EXPECT_EQ(stubs.channel2->geometry(), row.mode == 3 ? QRect(377, 0, 377, 410) : full);
        if (&row == &rows[1]) {
            EXPECT_EQ(fakeImages.requests.size(), asked) << "the current mode's button loads nothing";
        }
    }
}

TEST_F(PlayerPaneWidget, FullViewButtonHidesItselfAndAsksTheWindowOnce)
{
    hub.SetMaximized(true);
    Make({1065, 758});
    ASSERT_TRUE(Control(FullViewButton)->isVisible());
    EXPECT_EQ(ShownAt(FullViewButton), IconColour(347));
    qobject_cast<QAbstractButton*>(Control(FullViewButton))->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Control(FullViewButton)->isVisible());
    EXPECT_EQ(host.minimizeCalls, 1);
    EXPECT_TRUE(host.minimizeOnUiThread);
}

TEST_F(PlayerPaneWidget, FlipReadersFollowTheHostsOptionsNow)
{
    CVideoPlayerPane& p = Make();
    struct Row {
        bool ch1v, ch1h, ch2v, ch2h;
    };
    for (const Row& row : {Row{false, false, false, false}, Row{true, false, false, false},
                           Row{false, true, false, false}, Row{false, false, true, false},
                           Row{false, false, false, true}, Row{true, true, true, true}}) {
        OptionRecord options;
        options.ch1VerticalFlip = row.ch1v;
        options.ch1HorizontalFlip = row.ch1h;
        options.ch2VerticalFlip = row.ch2v;
        options.ch2HorizontalFlip = row.ch2h;
        host.SetOptions(options);
        EXPECT_EQ(p.IsCh1VerticalFlip(), row.ch1v);
        EXPECT_EQ(p.IsCh1HorizontalFlip(), row.ch1h);
        EXPECT_EQ(p.IsCh2VerticalFlip(), row.ch2v);
        EXPECT_EQ(p.IsCh2HorizontalFlip(), row.ch2h);
    }
}

TEST_F(PlayerPaneWidget, SnapshotAsksChannelOneThenChannelTwoOnTheUiThread)
{
    CVideoPlayerPane& p = Make();
    p.TakeSnapshot("/tmp/report.png", "");
    p.TakeSnapshot("/s/x.png", "/s");
    ASSERT_EQ(stubs.snapshots.size(), 4u);
    const std::vector<std::tuple<QString, QString, QString>> expected{
        {"front", "/tmp/report.png", ""}, {"rear", "/tmp/report.png", ""}, {"front", "/s/x.png", "/s"},
        {"rear", "/s/x.png", "/s"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(stubs.snapshots[i].channel, std::get<0>(expected[i]));
        EXPECT_EQ(stubs.snapshots[i].path, std::get<1>(expected[i]));
        EXPECT_EQ(stubs.snapshots[i].folder, std::get<2>(expected[i]));
        EXPECT_TRUE(stubs.snapshots[i].onUiThread);
    }
}

TEST_F(PlayerPaneWidget, KeysReachTheApplicationFilterOnceAndWorkNoControl)
{
    CVideoPlayerPane& p = Make();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    testsupport::KeyRecorder counter;  // the main window's key router
    qApp->installEventFilter(&counter);
    p.SpeedSlider().setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &p.SpeedSlider());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(counter.keys, (std::vector<int>{Qt::Key_Right}));
    EXPECT_EQ(p.SpeedSlider().GetPos(), 4);
    for (const auto& [key, modifiers] : std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
             {Qt::Key_Q, Qt::NoModifier}, {Qt::Key_Tab, Qt::NoModifier}, {Qt::Key_X, Qt::AltModifier}}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        EXPECT_EQ(QApplication::focusWidget(), &p.SpeedSlider()) << key;
    }
    // Each once; QTest presses Alt by itself before X.
    EXPECT_EQ(counter.keys, (std::vector<int>{Qt::Key_Right, Qt::Key_Q, Qt::Key_Tab, Qt::Key_Alt, Qt::Key_X}));
    // The volume control would move by a key of its own; here it stays.
    Control(VolumeControl)->setFocus();
    QTest::keyClick(Control(VolumeControl), Qt::Key_Left);
    Settle();
    EXPECT_TRUE(Payloads(20).empty());
    qApp->removeEventFilter(&counter);
}

TEST_F(PlayerPaneWidget, APressOnTheBackgroundMovesTheWindowAPressOnAControlDoesNot)
{
    CVideoPlayerPane& p = Make();
    std::vector<QWidget*> moves;
    p.SetWindowMoveRequest([&](QWidget* widget) { moves.push_back(widget); });
    const auto press = [&](QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), QPointF(target->mapToGlobal(at)), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(target->mapToGlobal(at)), button,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    };
    press(Control(playerpane::SpeedSlider), QPoint(40, 12));
    press(Control(MuteButton), QPoint(5, 5));
    EXPECT_TRUE(moves.empty()) << "a control keeps its press";
    press(&p, QPoint(300, 412));  // the band between the video and the labels
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], &p);
    press(Label(TimeCaption), QPoint(5, 5));  // a label passes its press on to the pane
    press(&p, QPoint(300, 412), Qt::RightButton);
    EXPECT_EQ(moves.size(), 2u);

    // By default the window itself follows the pointer.
    p.SetWindowMoveRequest(platform::StartWindowMove);
    window->move(100, 100);
    const QPoint start = window->pos();
    const QPoint pointer(400, 400);
    QCursor::setPos(pointer);
    const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(p.mapFromGlobal(global)), QPointF(global),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&p, &event);
    };
    send(QEvent::MouseButtonPress, pointer, Qt::LeftButton);
    send(QEvent::MouseMove, pointer + QPoint(15, 7), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, pointer + QPoint(15, 7), Qt::NoButton);
    EXPECT_EQ(window->pos(), start + QPoint(15, 7));
}

// The program's skin, as the viewer shows it.
class PlayerPaneScreenshots : public PlayerPaneWidget {
protected:
    controlstest::ScopedSkinModule skin;

    CVideoPlayerPane& MakeSkinned(QSize size)
    {
        return Make(size, true, &ImageSource::Resources());
    }
};

TEST_F(PlayerPaneScreenshots, NormalViewPaintsBandBackgroundLabelsAndTheEmptySpeedometer)
{
    CVideoPlayerPane& p = MakeSkinned({754, 655});
    const QImage grab = testsupport::Grab(p);
    ASSERT_EQ(grab.size(), QSize(754, 655));

    // The video area is channel 1's; the band under it black.
    EXPECT_EQ(grab.pixel(377, 200), kChannel1Colour.rgb());
    for (int y = 410; y < 440; ++y)
        for (int x : {0, 5, 95, 200, 500, 753})  // beside the labels
            ASSERT_EQ(grab.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;

    // The control row is bitmap 107 stretched across the width, where no
    // control stands: left of the transport buttons and right of the
    // speedometer.
    const QImage band = ResourceManager::GetInstance().GetBitmap(107);
    ASSERT_FALSE(band.isNull());
    QImage expected(754, 55, QImage::Format_RGB32);
    expected.fill(Qt::magenta);
    {
        QPainter painter(&expected);
        gdi::Stretch(painter, expected.rect(), band, band.rect());
    }
    for (int y = 0; y < 55; ++y)
        for (int x : {0, 8, 16, 745, 753})
            ASSERT_EQ(grab.pixel(x, 600 + y), expected.pixel(x, y)) << x << "," << 600 + y;

    // Labels: light grey text on black. The glyphs are smoothed, so their
    // pixels are greys up to the text colour, which narrowed faces only
    // approach.
    for (int id : {TimeCaption, ElapsedLabel, TotalLabel, SpeedCaption, SpeedLabel}) {
        const QRect r = Label(id)->geometry();
        EXPECT_EQ(grab.pixel(r.bottomRight()), qRgb(0, 0, 0)) << id;
        int brightest = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QRgb pixel = grab.pixel(x, y);
                ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) && qRed(pixel) <= 200)
                    << id << " at " << x << "," << y;
                brightest = std::max(brightest, qRed(pixel));
            }
        EXPECT_GE(brightest, 175) << id;
    }
    EXPECT_EQ(Label(SpeedLabel)->palette().color(QPalette::WindowText), QColor(200, 200, 200));
    EXPECT_TRUE(Label(SpeedLabel)->autoFillBackground());

    // The empty speedometer at (cx + 600, H - 45), its white keyed out.
    const QImage speedometer =
        ComposeSpeedometer(SpeedometerImages::Load(ImageSource::Resources()), QString());
    ASSERT_EQ(Control(Speedometer)->geometry(), QRect(617, 610, 124, 38));
    int compared = 0;
    for (int y = 0; y < 38; ++y)
        for (int x = 0; x < 124; ++x)
            if (speedometer.pixel(x, y) != qRgb(255, 255, 255)) {
                ASSERT_EQ(grab.pixel(617 + x, 610 + y), speedometer.pixel(x, y)) << x << "," << y;
                ++compared;
            }
    EXPECT_GT(compared, 124 * 38 / 2);

    // For the picture: the view buttons shown, both channels side by side.
    for (int id : {FrontViewButton, RearViewButton, BothViewButton})
        Control(id)->show();
    p.OnBnClickedAllChannelVideoBtn();
    EXPECT_TRUE(testsupport::SaveScreenshot(p, "player-pane-layout"));
}

TEST_F(PlayerPaneScreenshots, MaximizedViewMovesTheControlsDownAndShowsTheFullViewButton)
{
    hub.SetMaximized(true);
    CVideoPlayerPane& p = MakeSkinned({1065, 758});
    const QImage grab = testsupport::Grab(p);
    EXPECT_FALSE(stubs.gyroscope->isVisible());
    EXPECT_EQ(stubs.channel1->geometry(), QRect(0, 0, 1065, 653));
    for (int y = 653; y < 678; ++y)
        for (int x : {0, 200, 1064})  // beside the labels
            ASSERT_EQ(grab.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    ASSERT_TRUE(Control(FullViewButton)->isVisible());
    ASSERT_EQ(Control(FullViewButton)->geometry(), QRect(1020, 718, 32, 32));
    // The icon's own pixels differ from the background behind it.
    const QImage icon = ResourceManager::GetInstance().GetIcon(347);
    ASSERT_FALSE(icon.isNull());
    int drawn = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (qAlpha(icon.pixel(x, y)) == 255 && grab.pixel(1020 + x, 718 + y) == (icon.pixel(x, y) | 0xFF000000u))
                ++drawn;
    EXPECT_GT(drawn, 50);
    EXPECT_TRUE(testsupport::SaveScreenshot(p, "player-pane-maximized"));
}

}  // namespace
