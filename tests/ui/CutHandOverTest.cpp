// What the cut dialog chooses, handed to the real segment cutter as the cut
// command hands it: the times read back from their texts, the folder and
// the free name joined.

#include "CutReportFixtures.h"
#include "platform/widgets/ChooseFolder.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AviSegmentCutter.h"
#include "recordings/AviSegmentCutterPlan.h"
#include "support/AviFixtureBuilder.h"
#include "support/ChildWatch.h"
#include "support/FileFixtures.h"
#include "ui/TimeText.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace cuttest;
using testsupport::AviFixtureBuilder;

std::filesystem::path Native(const QString& path)
{
    return std::filesystem::path(path.toStdString());
}

class CutHandOver : public testing::Test {
protected:
    QTemporaryDir dir;
    QString out = dir.path() + "/out";
    std::unique_ptr<ApplicationHub> hub = MakeHub();
    ScopedRecordingNotifier boxes;

    void SetUp() override { ASSERT_TRUE(QDir().mkpath(out)); }

    // Runs the dialog on entry: releases at start and end, Save into out.
    std::unique_ptr<CSaveVideoDialog> Chosen(std::shared_ptr<RecordingEntry> entry, int start, int end)
    {
        CutDialogSeams seams;
        seams.previewWindowId = [](QWidget*) { return 0ull; };
        auto dialog = std::make_unique<CSaveVideoDialog>(nullptr, *hub, seams);
        dialog->recording = std::move(entry);
        dialog->show();
        DragTo(*Slider(*dialog, CutDialogControl::StartSlider), start);
        DragTo(*Slider(*dialog, CutDialogControl::EndSlider), end);
        platform::ScopedFolderChooser chooser([&](QWidget*, const QString&, const QString&) { return out; });
        dialog->Controls().Get<QPushButton>(static_cast<int>(CutDialogControl::Save))->click();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        return dialog;
    }

    // The cut command's hand-over.
    static bool Cut(const CSaveVideoDialog& dialog, const QString& source)
    {
        return AviSegmentCutter::CutSegment(Native(source), ParseTimeText(dialog.GetStartTime()),
                                            ParseTimeText(dialog.GetEndTime()),
                                            Native(dialog.GetOutputFolder() + "/" + dialog.GetOutputFileName()));
    }
};

TEST_F(CutHandOver, TheCutterTakesTheDialogsChoice)
{
    const QString source = dir.path() + "/20240101_120000_N.avi";
    AviFixtureBuilder().Write(source);
    auto entry = MakeEntry(source, 10);

    auto first = Chosen(entry, 3, 7);
    EXPECT_EQ(first->GetStartTime(), "00:00:03");
    EXPECT_EQ(first->GetEndTime(), "00:00:07");
    EXPECT_EQ(first->GetOutputFileName(), "20240101_120000_N_copy(1).avi");
    ASSERT_TRUE(Cut(*first, source));

    AVIFileParser sourceParser;
    ASSERT_TRUE(sourceParser.Open(source));
    const std::optional<AviSegmentCutter::CutPlan> plan = AviSegmentCutter::CutFrames(sourceParser, 3, 7);
    ASSERT_TRUE(plan);
    const QString cut = out + "/" + first->GetOutputFileName();
    AVIFileParser cutParser;
    ASSERT_TRUE(cutParser.Open(cut));
    EXPECT_EQ(cutParser.GetIndexEntries("00dc").size(), plan->e - plan->s);
    EXPECT_FALSE(cutParser.GetIndexEntries("01dc").empty());

    // A second cut takes the next name and leaves the first alone.
    const QByteArray firstBytes = testsupport::ReadFileBytes(cut);
    auto second = Chosen(entry, 3, 7);
    EXPECT_EQ(second->GetOutputFileName(), "20240101_120000_N_copy(2).avi");
    ASSERT_TRUE(Cut(*second, source));
    EXPECT_EQ(testsupport::ReadFileBytes(cut), firstBytes);

    // A file put at the chosen name after the dialog closed is never touched.
    auto third = Chosen(entry, 3, 7);
    const QString taken = out + "/" + third->GetOutputFileName();
    testsupport::WriteFileBytes(taken, "someone else's");
    EXPECT_FALSE(Cut(*third, source));
    EXPECT_EQ(testsupport::ReadFileBytes(taken), "someone else's");
}

TEST_F(CutHandOver, ZeroLengthRangeIsRefused)
{
    const QString source = dir.path() + "/REC_0002.avi";
    AviFixtureBuilder().Write(source);
    auto dialog = Chosen(MakeEntry(source, 0), 0, 0);
    EXPECT_EQ(dialog->GetStartTime(), "00:00:00");
    EXPECT_EQ(dialog->GetEndTime(), "00:00:00");
    EXPECT_FALSE(Cut(*dialog, source));
    EXPECT_TRUE(QDir(out).isEmpty());
}

}  // namespace
