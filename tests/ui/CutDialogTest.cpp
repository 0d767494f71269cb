// The cut dialog offscreen: its times, its output names, its layout and
// what slider releases, keys, the wheel and Save do. No player starts here
// (no window to draw into).

#include "CutReportFixtures.h"
#include "platform/DialogTemplate.h"
#include "platform/widgets/ChooseFolder.h"
#include "support/ChildWatch.h"
#include "support/FileFixtures.h"
#include "ui/TimeText.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace cuttest;

TEST(TimeText, FormatSecondsTable)
{
    const std::pair<int, const char*> table[] = {
        {0, "00:00:00"},     {59, "00:00:59"},     {60, "00:01:00"},       {3599, "00:59:59"}, {3725, "01:02:05"},
        {86399, "23:59:59"}, {86400, "24:00:00"}, {360000, "100:00:00"}, {-5, "00:00:00"}};
    for (const auto& [seconds, text] : table) {
        EXPECT_EQ(FormatSeconds(seconds), QString::fromLatin1(text)) << seconds;
    }
}

TEST(TimeText, ParseTimeTextInvertsAndReadsFieldsAsAtol)
{
    for (int seconds = 0; seconds <= 400000; ++seconds) {
        if (ParseTimeText(FormatSeconds(seconds)) != static_cast<uint32_t>(seconds)) {
            FAIL() << seconds;
        }
    }
    EXPECT_EQ(ParseTimeText("aa:bb:cc"), 0u);
    EXPECT_EQ(ParseTimeText(""), 0u);
    EXPECT_EQ(ParseTimeText(" 7:-1:05"), 7u * 3600 - 60 + 5);
    EXPECT_EQ(ParseTimeText("00:01:05"), 65u);
    EXPECT_EQ(ParseTimeText("-1:00:00"), 0u) << "a negative total";
    EXPECT_EQ(ParseTimeText("99999999:00:00"), 0xFFFFFFFFu) << "past the 32-bit range";
}

class CutDialogTest : public testing::Test {
protected:
    std::unique_ptr<ApplicationHub> hub = MakeHub();
    ScopedRecordingNotifier boxes;
    QTemporaryDir dir;

    // Offscreen: no window id, so no player starts.
    std::unique_ptr<CSaveVideoDialog> Shown(int duration, const QString& name = "A.avi")
    {
        CutDialogSeams seams;
        seams.previewWindowId = [](QWidget*) { return 0ull; };
        seams.playerPath = testsupport::StubPlayerPath();
        auto dialog = std::make_unique<CSaveVideoDialog>(nullptr, *hub, seams);
        dialog->recording = MakeEntry(dir.path() + "/" + name, duration);
        dialog->show();
        return dialog;
    }
    QString Folder(const QString& name) const
    {
        const QString path = dir.path() + "/" + name;
        QDir().mkpath(path);
        return path;
    }
};

TEST_F(CutDialogTest, OutputNameTable)
{
    CSaveVideoDialog dialog(nullptr, *hub);
    const QString empty = Folder("empty");
    auto made = [&](const QString& folder, const QString& source) -> QString {
        return dialog.MakeOutputFileName(folder, source) ? dialog.GetOutputFileName() : QStringLiteral("<none>");
    };
    EXPECT_EQ(made(empty, "A.avi"), "A_copy(1).avi");
    EXPECT_EQ(made(empty, "x.mp4"), "x_copy(1).mp4");
    EXPECT_EQ(made(empty, "avi"), "_copy(1).avi");
    EXPECT_EQ(made(empty, "Запись 1.avi"), "Запись 1_copy(1).avi");
    EXPECT_EQ(made(empty, "A.AVI"), "<none>");
    EXPECT_EQ(dialog.GetOutputFileName(), "") << "a refused name leaves no name behind";
    EXPECT_EQ(made(empty, ""), "<none>");
    EXPECT_EQ(made("", "A.avi"), "<none>");

    // Whatever already has the name, even a link to nothing, is passed over.
    const QString taken = Folder("file");
    testsupport::WriteFileBytes(taken + "/A_copy(1).avi", "x");
    EXPECT_EQ(made(taken, "A.avi"), "A_copy(2).avi");
    EXPECT_EQ(made(taken + "/", "A.avi"), "A_copy(2).avi") << "a folder ending in '/'";
    const QString folder = Folder("folder");
    Folder("folder/A_copy(1).avi");
    EXPECT_EQ(made(folder, "A.avi"), "A_copy(2).avi");
    const QString link = Folder("link");
    ASSERT_EQ(::symlink("nowhere", QFile::encodeName(link + "/A_copy(1).avi").constData()), 0);
    EXPECT_EQ(made(link, "A.avi"), "A_copy(2).avi");

    EXPECT_FALSE(dialog.setOutputFileName(""));
    EXPECT_EQ(dialog.GetOutputFileName(), "");
}

TEST_F(CutDialogTest, OpensWithTheWholeRecordingInTheTemplatesLayout)
{
    auto dialog = Shown(59);
    EXPECT_EQ(dialog->windowTitle(), "Вырезать");
    EXPECT_EQ(dialog->size(), QSize(555, 358));
    const DialogTemplate& layout = DialogTemplate::Get(CSaveVideoDialog::kTemplateId);
    for (CutDialogControl id : {CutDialogControl::StartPreview, CutDialogControl::EndPreview,
                                CutDialogControl::StartSlider, CutDialogControl::EndSlider, CutDialogControl::Save,
                                CutDialogControl::Cancel, CutDialogControl::LengthLabel}) {
        EXPECT_EQ(dialog->Controls().Widget(static_cast<int>(id))->geometry(),
                  DialogTemplate::DluToPixels(layout.Control(static_cast<int>(id))->rect))
            << static_cast<int>(id);
    }
    EXPECT_EQ(dialog->Controls().Widget(1082)->geometry(), QRect(24, 46, 248, 216));
    EXPECT_EQ(dialog->Controls().Widget(1013)->geometry(), QRect(20, 294, 255, 21));
    EXPECT_EQ(dialog->Controls().Widget(1058)->geometry(), QRect(381, 328, 75, 23));
    // Every caption shows whole, and the long ones keep their right edge.
    for (CutDialogControl id :
         {CutDialogControl::StartCaption, CutDialogControl::EndCaption, CutDialogControl::LengthCaption}) {
        const auto* caption = dialog->Controls().Get<QLabel>(static_cast<int>(id));
        const QRect place = DialogTemplate::DluToPixels(layout.Control(static_cast<int>(id))->rect);
        EXPECT_GE(caption->width(), caption->fontMetrics().horizontalAdvance(caption->text())) << caption->text().toStdString();
        EXPECT_EQ(caption->geometry().right(), place.right());
        EXPECT_GE(caption->x(), 0);
    }

    auto* start = Slider(*dialog, CutDialogControl::StartSlider);
    auto* end = Slider(*dialog, CutDialogControl::EndSlider);
    EXPECT_EQ(std::make_pair(start->minimum(), start->maximum()), std::make_pair(0, 59));
    EXPECT_EQ(std::make_pair(end->minimum(), end->maximum()), std::make_pair(0, 59));
    EXPECT_EQ(start->value(), 0);
    EXPECT_EQ(end->value(), 59);
    EXPECT_EQ(start->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::StartLabel), "00:00:00");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::EndLabel), "00:00:59");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::LengthLabel), "00:00:59");
    EXPECT_EQ(dialog->GetStartTime(), "00:00:00");
    EXPECT_EQ(dialog->GetEndTime(), "00:00:59");
}

TEST_F(CutDialogTest, ReleasesKeepTheStartBeforeTheEnd)
{
    auto dialog = Shown(59);
    auto* start = Slider(*dialog, CutDialogControl::StartSlider);
    auto* end = Slider(*dialog, CutDialogControl::EndSlider);

    DragTo(*start, 59);
    EXPECT_EQ(start->value(), 58) << "the start released at the end goes back a second";
    EXPECT_EQ(dialog->GetStartTime(), "00:00:58");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::LengthLabel), "00:00:01");

    DragTo(*start, 30);
    DragTo(*end, 10);
    EXPECT_EQ(end->value(), 31) << "the end released before the start goes to a second after it";
    DragTo(*end, 30);
    EXPECT_EQ(end->value(), 31) << "and so does one released on it";
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::StartLabel), "00:00:30");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::EndLabel), "00:00:31");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::LengthLabel), "00:00:01");
}

TEST_F(CutDialogTest, OnlyAReleaseChangesTheTimes)
{
    auto dialog = Shown(100);
    auto* start = Slider(*dialog, CutDialogControl::StartSlider);
    auto* end = Slider(*dialog, CutDialogControl::EndSlider);
    DragTo(*start, 10);
    DragTo(*end, 70);
    EXPECT_EQ(dialog->GetStartTime(), "00:00:10");
    EXPECT_EQ(dialog->GetEndTime(), "00:01:10");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::LengthLabel), "00:01:00");

    // Keys and the wheel: the texts stay those of the last release.
    QTest::keyClick(start, Qt::Key_Right);
    QTest::keyClick(start, Qt::Key_PageUp);
    EXPECT_GT(start->value(), 10);
    const int before = end->value();
    QWheelEvent wheel(QPointF(5, 5), end->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(end, &wheel);
    EXPECT_EQ(end->value(), before);
    EXPECT_EQ(dialog->GetStartTime(), "00:00:10");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::StartLabel), "00:00:10");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::LengthLabel), "00:01:00");

    // A click on the groove moves the thumb by a page, and acts on release.
    const QPoint groove = ThumbCentre(*end, end->minimum()) + QPoint(2, 0);
    QTest::mousePress(end, Qt::LeftButton, {}, groove);
    EXPECT_EQ(end->value(), 70 - 20);
    EXPECT_EQ(dialog->GetEndTime(), "00:01:10");
    QTest::mouseRelease(end, Qt::LeftButton, {}, groove);
    EXPECT_EQ(dialog->GetEndTime(), "00:00:50");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::LengthLabel), "00:00:40");
}

TEST_F(CutDialogTest, SaveAsksForAFolderAndNamesTheCopy)
{
    auto dialog = Shown(59, "REC_0001.avi");
    DragTo(*Slider(*dialog, CutDialogControl::StartSlider), 5);
    auto* save = dialog->Controls().Get<QPushButton>(static_cast<int>(CutDialogControl::Save));
    {
        QStringList captions;
        platform::ScopedFolderChooser none([&](QWidget*, const QString& caption, const QString& start) {
            captions << caption << start;
            return std::optional<QString>();
        });
        save->click();
        EXPECT_EQ(captions, (QStringList{"Выберите папку.", QDir::homePath()}));
        EXPECT_TRUE(dialog->isVisible()) << "a cancelled folder question keeps the dialog open";
        EXPECT_EQ(dialog->GetOutputFolder(), "");
        EXPECT_EQ(dialog->GetOutputFileName(), "");
        EXPECT_EQ(dialog->GetStartTime(), "00:00:05");
    }
    const QString folder = Folder("out");
    platform::ScopedFolderChooser chosen([&](QWidget*, const QString&, const QString&) { return folder; });
    save->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->GetOutputFolder(), folder);
    EXPECT_EQ(dialog->GetOutputFileName(), "REC_0001_copy(1).avi");
    EXPECT_EQ(dialog->GetStartTime(), "00:00:05");
    EXPECT_EQ(dialog->GetEndTime(), "00:00:59");

    // A name the rules refuse still closes with OK; the cut then fails.
    auto upper = Shown(59, "B.AVI");
    upper->Controls().Get<QPushButton>(static_cast<int>(CutDialogControl::Save))->click();
    EXPECT_EQ(upper->result(), QDialog::Accepted);
    EXPECT_EQ(upper->GetOutputFolder(), folder);
    EXPECT_EQ(upper->GetOutputFileName(), "");
    EXPECT_EQ(boxes.notifier.Count(), 0u);
}

TEST_F(CutDialogTest, ARecordingWithoutDurationGivesAnEmptyRange)
{
    auto dialog = Shown(0);
    auto* start = Slider(*dialog, CutDialogControl::StartSlider);
    auto* end = Slider(*dialog, CutDialogControl::EndSlider);
    EXPECT_EQ(end->maximum(), 0);
    DragTo(*start, 0);
    DragTo(*end, 0);
    EXPECT_EQ(dialog->GetStartTime(), "00:00:00");
    EXPECT_EQ(dialog->GetEndTime(), "00:00:00");
    EXPECT_EQ(LabelText(*dialog, CutDialogControl::LengthLabel), "00:00:00");
}

}  // namespace
