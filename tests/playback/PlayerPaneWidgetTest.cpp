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
#include "support/gui/Screenshot.h"

#include <QApplication>
#include <QPainter>
#include <QLabel>
#include <QSlider>

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace playerpane;
using namespace playerpanetest;
using controlstest::FakeImageSource;

// A top-level window holding the pane, black as the main window's client.
class Window : public QWidget {
public:
    Window()
    {
        setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::black);
        setPalette(palette);
    }
};

// Every image the pane asks for, each a colour of its own number, so a grab
// tells which one is drawn: bitmaps rgb(n % 256, 40, 80), icons rgb(n % 256, 80, 40).
QRgb BitmapColour(int id)
{
    return qRgb(id % 256, 40, 80);
}
QRgb IconColour(int id)
{
    return qRgb(id % 256, 80, 40);
}

void AddSkin(FakeImageSource& images)
{
    const auto bitmap = [&](int id, QSize size) { images.AddBitmap(id, controlstest::Flat(size, BitmapColour(id))); };
    bitmap(107, {1065, 55});
    for (int id : {170, 173})
        bitmap(id, {16, 6});
    bitmap(167, {3, 6});
    for (int id : {171, 172, 168, 169})
        bitmap(id, {11, 20});
    for (int id : {181, 182, 109, 110, 183, 184, 155, 156})
        bitmap(id, {24, 24});
    for (int id = 297; id <= 302; ++id)
        bitmap(id, {43, 19});
    bitmap(174, {124, 38});
    for (int id = 157; id <= 166; ++id) {
        // A white field around the digit's body, keyed out when drawn.
        QImage digit = controlstest::Flat({10, 20}, Qt::white);
        for (int y = 4; y < 16; ++y)
            for (int x = 2; x < 8; ++x)
                digit.setPixel(x, y, BitmapColour(id));
        images.AddBitmap(id, digit);
    }
    QImage point = controlstest::Flat({6, 20}, Qt::white);
    point.setPixel(3, 17, BitmapColour(127));
    images.AddBitmap(127, point);
    for (int id : {185, 186})
        bitmap(id, {70, 21});
    for (int id = 212; id <= 235; ++id)
        images.AddIcon(id, controlstest::Flat({32, 32}, IconColour(id), QImage::Format_ARGB32));
    for (int id = 347; id <= 349; ++id)
        images.AddIcon(id, controlstest::Flat({32, 32}, IconColour(id), QImage::Format_ARGB32));
}

class PlayerPaneWidget : public ::testing::Test {
protected:
    PlayerPaneWidget() { AddSkin(fakeImages); }

    ~PlayerPaneWidget() override
    {
        harness.StopAndWait();
        delete window;
    }

    // The pane in its window at size, after the stand-in main window and
    // before the recorder; initialised unless told otherwise.
    CVideoPlayerPane& Make(QSize size = {754, 655}, bool initialise = true, const ImageSource* images = nullptr)
    {
        window = new Window;
        window->resize(size);
        pane = new CVideoPlayerPane(window, host, hub, images ? *images : fakeImages, stubs.Parts());
        harness.AttachRecorder();
        if (initialise)
            pane->OnInitDialog();
        pane->setGeometry(QRect(QPoint(0, 0), size));
        window->show();
        return *pane;
    }

    template <typename T>
    T* Control(int id)
    {
        return pane->Controls().Get<T>(id);
    }
    QWidget* Control(int id) { return pane->Controls().Widget(id); }
    QLabel* Label(int id) { return Control<QLabel>(id); }

    // Runs the queued slots the controls' signals reach, then waits until
    // what they posted has gone round.
    void Settle()
    {
        QCoreApplication::processEvents();
        ASSERT_TRUE(harness.Drain());
    }
    // The payloads the recorder saw for code.
    std::vector<MessageParam> Payloads(int code)
    {
        std::vector<MessageParam> payloads;
        for (const hubtest::Delivery& d : harness.GetJournal().Entries())
            if (d.listener == hubtest::HubHarness::kRecorder && d.code == code)
                payloads.push_back(d.payload);
        return payloads;
    }

    hubtest::HubHarness harness{hubtest::NoLoader()};
    ApplicationHub& hub = harness.Hub();
    FakePlayerPaneHost host;
    FakeImageSource fakeImages;
    StubParts stubs;
    Window* window = nullptr;
    CVideoPlayerPane* pane = nullptr;
};

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
    EXPECT_EQ(p.SpeedSlider()->GetRangeMin(), 1);
    EXPECT_EQ(p.SpeedSlider()->GetRangeMax(), 7);
    EXPECT_EQ(p.SpeedSlider()->GetPos(), 4);
    EXPECT_EQ(p.BrightnessSlider()->GetPos(), 50);
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
