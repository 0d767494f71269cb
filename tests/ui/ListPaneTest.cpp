// The recording list pane: its rules without widgets, then the pane on a
// hub of the test's own with the real skin, offscreen.

#include "ListPaneFixtures.h"

#include "controls/CMyBitmapButton.h"
#include "controls/CSkinHeaderCtrl.h"
#include "controls/CSkinListCtrl.h"
#include "controls/ImageSource.h"
#include "core/Logger.h"
#include "hub/HubCodes.h"
#include "recordings/RecordingEntry.h"
#include "support/FileFixtures.h"
#include "support/TestSupport.h"
#include "support/gui/Screenshot.h"

#include <QDir>
#include <QLabel>
#include <QTest>

#include <variant>

namespace listtest {
namespace {

const QString kEvent = QStringLiteral("Событие");
const QString kNormal = QStringLiteral("Обычный");
const QString kMotion = QStringLiteral("Движение");
const QString kParking = QStringLiteral("Движения в режиме Парковка");

QStringList Numbered(std::initializer_list<std::pair<int, QString>> rows)
{
    QStringList texts;
    for (const auto& [number, type] : rows)
        texts.append(QString::number(number) + " " + type);
    return texts;
}

const QStringList kAllSix = Numbered(
    {{1, kEvent}, {2, kNormal}, {3, kMotion}, {4, kParking}, {5, QStringLiteral("Unknown")}, {6, kNormal}});

std::vector<int> NumbersOf(const ListEntries& list)
{
    std::vector<int> numbers;
    for (const auto& entry : list)
        numbers.push_back(entry->number);
    return numbers;
}

// ---- The rules ----

TEST(RecordingListState, CategoriesRowsButtonsAndWidths)
{
    hubtest::EntryFactory factory;
    RecordingListState state;
    state.Categorise(factory.MakeTypes({1, 2, 3, 4, 5, 2}));
    EXPECT_EQ(NumbersOf(state.allVideos), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(NumbersOf(state.eventVideos), (std::vector<int>{1}));
    EXPECT_EQ(NumbersOf(state.normalVideos), (std::vector<int>{2, 6}));
    EXPECT_EQ(NumbersOf(state.motionVideos), (std::vector<int>{3, 4})) << "type 4 is a motion";

    struct RowCase {
        int number;
        int filter;
        int row;
    };
    for (const RowCase c : {RowCase{5, 0, 4}, {6, 2, 1}, {2, 1, -1}, {4, 3, 1}, {4, 4, 1}, {5, 3, -1}, {9, 0, 8},
                            {3, 7, 2}, {-1, 0, -2}}) {
        EXPECT_EQ(state.FindRow(c.number, c.filter), c.row) << c.number << " under " << c.filter;
    }
    EXPECT_FALSE(RecordingListState::IsRowInside(-1, 3));
    EXPECT_FALSE(RecordingListState::IsRowInside(3, 3));

    RecordingListState noEvents;
    noEvents.Categorise(factory.MakeTypes({2, 5}));
    EXPECT_TRUE(noEvents.IsEnabled(FilterButton::All));
    EXPECT_FALSE(noEvents.IsEnabled(FilterButton::Event));
    EXPECT_TRUE(noEvents.IsEnabled(FilterButton::Normal));
    EXPECT_FALSE(noEvents.IsEnabled(FilterButton::Motion));
    state.Categorise({});
    EXPECT_TRUE(state.allVideos.empty() && state.normalVideos.empty()) << "a new snapshot replaces the lists";

    EXPECT_EQ(RecordingListState::CheckedCategoryButton({true, false, true, true}), FilterButton::Normal);
    EXPECT_EQ(RecordingListState::CheckedCategoryButton({true, false, false, false}), FilterButton::All);
    EXPECT_EQ(RecordingListState::CheckedCategoryButton({false, false, false, false}), FilterButton::All);
    EXPECT_EQ(RecordingListState::MarkedImages(FilterButton::All, true), (FilterButtonImages{128, 128, 128, 130}));
    EXPECT_EQ(RecordingListState::MarkedImages(FilterButton::Event, false), (FilterButtonImages{139, 139, 139, 142}));
    EXPECT_EQ(RecordingListState::MarkedImages(FilterButton::Normal, true), (FilterButtonImages{134, 134, 134, 136}));
    EXPECT_EQ(RecordingListState::MarkedImages(FilterButton::Motion, false), (FilterButtonImages{146, 146, 146, 149}));
    EXPECT_EQ(RecordingListState::InitialImages(FilterButton::Normal), (FilterButtonImages{138, 139, 139, 136}));
    EXPECT_EQ(RecordingListState::ColumnWidths(291), (std::array<int, 4>{36, 72, 60, 72}));
    EXPECT_EQ(RecordingListState::ColumnWidths(65), (std::array<int, 4>{1, 3, 2, 3}));
}

// ---- The pane's face ----

TEST_F(ListPaneTest, TemplateColumnsAndTheButtonsBeforeTheFirstLoad)
{
    EXPECT_EQ(pane->Client()->size(), QSize(291, 388));
    EXPECT_EQ(pane->Client()->geometry().topLeft(), QPoint(1, 1)) << "inside the border";
    EXPECT_EQ(pane->CaptionLabel()->geometry(), QRect(11, 3, 69, 28));
    EXPECT_EQ(pane->CaptionLabel()->text(), QStringLiteral("Список воспроизведения"));

    CSkinListCtrl* list = pane->ListControl();
    const QStringList headings{QStringLiteral("Номер"), QStringLiteral("Дата"), QStringLiteral("Время"),
                               QStringLiteral("Тип")};
    const int widths[] = {36, 72, 60, 72};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(list->model()->headerData(column, Qt::Horizontal).toString(), headings[column]);
        EXPECT_EQ(list->Header()->sectionSize(column), widths[column]) << column;
    }

    // Disabled, each shows its disabled image.
    const std::pair<FilterButton, int> disabledFaces[] = {
        {FilterButton::All, 128}, {FilterButton::Event, 142}, {FilterButton::Normal, 136}, {FilterButton::Motion, 149}};
    for (const auto& [button, image] : disabledFaces) {
        EXPECT_FALSE(Enabled(button));
        EXPECT_EQ(testsupport::Grab(*pane->Button(button)),
                  ImageSource::Resources().Bitmap(image).convertToFormat(QImage::Format_RGB32))
            << static_cast<int>(button);
    }

    window.show();
    pane->resize(280, 405);
    const int x[] = {85, 133, 181, 229};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(pane->Button(kFilterButtons[i])->geometry(), QRect(x[i], 5, 43, 21));
    EXPECT_EQ(list->geometry(), QRect(1, 35, 279, 365)) << "client 278 x 403";
    EXPECT_EQ(list->Header()->sectionSize(0), 36) << "widths are not recomputed";
}

// ---- Loads, filters, menu commands ----

TEST_F(ListPaneTest, LoadListsAllThenEachButtonAndCommandShowsItsCategory)
{
    window.show();
    Load(entries.MakeTypes({1, 2, 3, 4, 5, 2}));
    EXPECT_EQ(Rows(), kAllSix);
    for (FilterButton button : kFilterButtons)
        EXPECT_TRUE(Enabled(button)) << static_cast<int>(button);
    EXPECT_TRUE(Checked(FilterButton::All));
    EXPECT_EQ(hub->GetFilterType(), 0);
    EXPECT_EQ(PlayingNumber(), 1);

    struct Step {
        std::variant<FilterButton, int> trigger;  // a click, or a menu command
        QStringList rows;
        int filter;
        FilterButton checked;
    };
    const Step steps[] = {
        {FilterButton::Event, Numbered({{1, kEvent}}), 1, FilterButton::Event},
        {FilterButton::Normal, Numbered({{2, kNormal}, {6, kNormal}}), 2, FilterButton::Normal},
        {FilterButton::Motion, Numbered({{3, kMotion}, {4, kParking}}), 3, FilterButton::Motion},
        {FilterButton::All, kAllSix, 0, FilterButton::All},
        {VideoListControl::ShowNormal, Numbered({{2, kNormal}, {6, kNormal}}), 2, FilterButton::Normal},
        {VideoListControl::ShowEvent, Numbered({{1, kEvent}}), 1, FilterButton::Event},
        {VideoListControl::ShowMotion, Numbered({{3, kMotion}, {4, kParking}}), 3, FilterButton::Motion},
        {VideoListControl::ShowAll, kAllSix, 0, FilterButton::All},
    };
    for (const Step& step : steps) {
        if (const FilterButton* button = std::get_if<FilterButton>(&step.trigger)) {
            SCOPED_TRACE(static_cast<int>(*button));
            QTest::mouseClick(pane->Button(*button), Qt::LeftButton);
        } else {
            SCOPED_TRACE(std::get<int>(step.trigger));
            pane->OnCommand(std::get<int>(step.trigger));
        }
        EXPECT_EQ(Rows(), step.rows);
        EXPECT_EQ(hub->GetFilterType(), step.filter);
        for (FilterButton button : kFilterButtons)
            EXPECT_EQ(Checked(button), button == step.checked) << static_cast<int>(button);
        EXPECT_EQ(window.focusWidget(), pane->Button(step.checked)) << "the marked button has the focus";
    }

    // A load while a category is shown lists everything again.
    QTest::mouseClick(pane->Button(FilterButton::Event), Qt::LeftButton);
    Load(entries.MakeTypes({2, 1}));
    EXPECT_EQ(Rows(), Numbered({{7, kNormal}, {8, kEvent}}));
    EXPECT_TRUE(Checked(FilterButton::All));
    EXPECT_FALSE(Checked(FilterButton::Event));
    EXPECT_EQ(hub->GetFilterType(), 0);
}

TEST_F(ListPaneTest, AnEmptyCategoryKeepsItsButtonDisabledAndItsCommandDoesNothing)
{
    Load(entries.MakeTypes({2, 3}));
    EXPECT_FALSE(Enabled(FilterButton::Event));
    EXPECT_TRUE(Enabled(FilterButton::Normal));
    QTest::mouseClick(pane->Button(FilterButton::Event), Qt::LeftButton);
    EXPECT_EQ(hub->GetFilterType(), 0) << "a disabled button takes no click";

    pane->OnCommand(VideoListControl::ShowMotion);
    ASSERT_EQ(Rows(), Numbered({{2, kMotion}}));
    pane->OnCommand(VideoListControl::ShowEvent);
    EXPECT_EQ(Rows(), Numbered({{2, kMotion}}));
    EXPECT_EQ(hub->GetFilterType(), 3);
    EXPECT_TRUE(Checked(FilterButton::Motion));
    pane->OnCommand(VideoListControl::ShowAll);
    EXPECT_EQ(Rows(), Numbered({{1, kNormal}, {2, kMotion}}));
    EXPECT_TRUE(Checked(FilterButton::All));
    EXPECT_EQ(hub->GetFilterType(), 0);
}

// ---- The row of the recording playing ----

TEST_F(ListPaneTest, PlaybackMessagesHighlightTheRowOfTheCurrentEntryOrNone)
{
    ApplicationHub::Entries playlist = entries.MakeTypes(std::vector<int>(40, RECORDING_NORMAL));
    playlist[1]->type = RECORDING_EVENT;
    Load(playlist);
    CSkinListCtrl* list = pane->ListControl();
    pane->resize(280, 405);
    window.show();

    struct Case {
        int code;
        int index;
        std::optional<FilterButton> shown;
        int row;
    };
    for (const Case c : {Case{NEW_VIDEO_PLAY, 4, std::nullopt, 4}, {VIDEO_NEXT, 30, std::nullopt, 30},
                         {VIDEO_PLAY, 1, FilterButton::Event, 0}, {VIDEO_PREVIOUS, 2, FilterButton::Event, -1},
                         {VIDEO_STOP, 0, FilterButton::All, 0}}) {
        SCOPED_TRACE(c.code);
        if (c.shown)
            QTest::mouseClick(pane->Button(*c.shown), Qt::LeftButton);
        ASSERT_TRUE(hub->SetCurrentIndex(c.index));
        list->SetUserClicked(true);
        Deliver(c.code);
        EXPECT_EQ(pane->State().highlightRow, c.row);
        EXPECT_EQ(pane->State().currentNumber, c.index + 1);
        EXPECT_EQ(PlayingNumber(), c.index + 1);
        EXPECT_FALSE(list->UserClicked());
        if (c.row == 30) {
            EXPECT_GT(list->ScrollPosition(), 0) << "scrolled to the row";
        }
    }

    // 22 empties the list and the playlist; later messages find no row.
    Deliver(VIDEO_FILE_NOT_FOUND);
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_TRUE(hub->GetVideoFiles().empty());
    EXPECT_EQ(PlayingNumber(), -1);
    EXPECT_EQ(pane->State().currentNumber, -1);
    EXPECT_TRUE(pane->State().allVideos.empty());
    EXPECT_EQ(playlist[0].use_count(), 1) << "only the test holds the entries now";
    const int scrolled = list->ScrollPosition();
    Deliver(NEW_VIDEO_PLAY);
    EXPECT_EQ(pane->State().highlightRow, 0);
    EXPECT_EQ(list->ScrollPosition(), scrolled);
    EXPECT_EQ(list->GetItemCount(), 0);
}

TEST_F(ListPaneTest, DoubleClickPostsOneKeptBatchAndOffTheRowsOnlyLogs)
{
    testsupport::ScopedWorkingFolder work;
    Logger& logger = Logger::GetInstance();
    logger.SetEnabled(true);
    logger.SetType(3);
    logger.SetLevel(3);
    Load(entries.MakeTypes(std::vector<int>(8, RECORDING_NORMAL)));
    pane->resize(280, 405);
    window.show();
    CSkinListCtrl* list = pane->ListControl();

    // The worker is held while the row is double-clicked and the queue is
    // cleared: the batch survives the clear and arrives whole.
    constexpr int kHold = 101;
    hubtest::Gate held, release;
    tail.before = [&](int code, const MessageParam&) {
        if (code == kHold) {
            held.Open();
            EXPECT_TRUE(release.Wait());
        }
    };
    hub->Post(kHold);
    ASSERT_TRUE(held.Wait());
    const QRect seventh = list->visualRect(list->model()->index(6, 0));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, seventh.center());
    hub->ClearMessages();
    release.Open();
    ASSERT_TRUE(Eventually([&] { return Seen(NEW_VIDEO_PLAY).size() == 2; }));
    const std::vector<std::string> sequence = journal.Sequence();
    const std::vector<std::string> tailEnd(sequence.end() - 4, sequence.end());
    EXPECT_EQ(tailEnd, (std::vector<std::string>{"tail:101", "tail:10", "tail:11", "tail:16"}));
    EXPECT_EQ(Seen(SET_CURRENT_VIDEO_INDEX).back().payload.index, 6);
    EXPECT_EQ(pane->State().currentNumber, 7);
    EXPECT_EQ(PlayingNumber(), 7) << "the 16 came back";
    EXPECT_EQ(pane->State().highlightRow, 6);

    // Below the last row: the first line and nothing else.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, list->viewport()->height() - 2));
    logger.SetEnabled(false);
    QString log;
    for (const QString& name : QDir(work.Path() + "/LOG").entryList({"*.log"}))
        log += QString::fromLatin1(testsupport::ReadFileBytes(work.Path() + "/LOG/" + name));
    EXPECT_EQ(log.count(QStringLiteral("[VideoListControl]\t[OnNMDblclkVideolist]\tList Item Duble Click")), 2);
    EXPECT_EQ(log.count(QStringLiteral("[VideoListControl]\t[OnNMDblclkVideolist]\tend")), 1);
    EXPECT_EQ(Seen(SET_CURRENT_VIDEO_INDEX).size(), 1u) << "nothing posted off the rows";
}

// ---- Sorting ----

TEST_F(ListPaneTest, ColumnSortKeepsThePlayingRecordingCurrentAndHighlighted)
{
    // Types 2, 1, 2, 1, 3; the third (a normal one, c) plays.
    ApplicationHub::Entries playlist = entries.MakeTypes({2, 1, 2, 1, 3});
    const std::vector<QString> dates{"2013-01-05", "2013-01-04", "2013-01-03", "2013-01-02", "2013-01-01"};
    for (std::size_t i = 0; i < playlist.size(); ++i)
        playlist[i]->dateText = dates[i];
    const std::shared_ptr<RecordingEntry> playing = playlist[2];
    Load(playlist);
    ASSERT_TRUE(hub->SetCurrentIndex(2));
    Deliver(NEW_VIDEO_PLAY);

    CSkinListCtrl* list = pane->ListControl();
    const QStringList before = Rows();
    emit list->Header()->sectionClicked(0);
    EXPECT_EQ(Rows(), before) << "the number column does not sort";
    EXPECT_EQ(hub->GetVideoFiles(), playlist);

    emit list->Header()->sectionClicked(3);
    EXPECT_EQ(Rows(), Numbered({{1, kEvent}, {2, kEvent}, {3, kNormal}, {4, kNormal}, {5, kMotion}}));
    EXPECT_EQ(hub->GetCurrentVideoFile(), playing);
    EXPECT_EQ(playing->number, 4);
    EXPECT_EQ(pane->State().currentNumber, 4);
    EXPECT_EQ(PlayingNumber(), 4);
    EXPECT_EQ(pane->State().highlightRow, 3);
    EXPECT_EQ(NumbersOf(pane->State().normalVideos), (std::vector<int>{3, 4}));

    // Under a category the sort shows that category again.
    QTest::mouseClick(pane->Button(FilterButton::Normal), Qt::LeftButton);
    emit list->Header()->sectionClicked(1);
    EXPECT_EQ(Rows(), Numbered({{3, kNormal}, {5, kNormal}})) << "by date: c before a";
    EXPECT_EQ(hub->GetCurrentVideoFile(), playing);
    EXPECT_EQ(PlayingNumber(), 3);
    EXPECT_EQ(pane->State().highlightRow, 0);
    EXPECT_TRUE(Checked(FilterButton::Normal));
    EXPECT_EQ(hub->GetFilterType(), 2);
}

TEST_F(ListPaneTest, DestroyingThePaneLeavesThePlaylistsEntriesAlone)
{
    Load(entries.MakeTypes({1, 2, 3}));
    pane.reset();
    EXPECT_EQ(entries.Destroyed(), 0);
    ASSERT_EQ(hub->GetVideoFiles().size(), 3u);
    EXPECT_EQ(hub->GetVideoFiles()[2]->type, RECORDING_MOTION);
    hub->SetVideoFiles({});
    EXPECT_EQ(entries.Destroyed(), 3) << "the last holder frees them, once";
}

// ---- Picture ----

class ListPaneScreenshots : public ListPaneTest {};

TEST_F(ListPaneScreenshots, TwelveRecordingsOneOfThemPlaying)
{
    const int types[] = {1, 2, 2, 3, 1, 4, 2, 5, 2, 1, 3, 2};
    ApplicationHub::Entries playlist;
    for (int i = 0; i < 12; ++i) {
        const QString time = QStringLiteral("%1:%2:00").arg(8 + i / 4, 2, 10, QChar('0')).arg(i % 4 * 15, 2, 10, QChar('0'));
        playlist.push_back(entries.Make(types[i], QStringLiteral("2013-10-16"), time));
    }
    pane->resize(280, 405);
    window.show();
    Load(playlist);
    ASSERT_TRUE(hub->SetCurrentIndex(4));
    Deliver(NEW_VIDEO_PLAY);
    const QImage shown = testsupport::Grab(*pane);
    CSkinListCtrl* list = pane->ListControl();
    const QRect fifth = list->visualRect(list->model()->index(4, 0)).translated(list->viewport()->mapTo(pane.get(), QPoint()));
    EXPECT_EQ(shown.pixel(fifth.left() + 2, fifth.center().y()), qRgb(0x31, 0x6A, 0xC5)) << "the playing colours";
    EXPECT_EQ(shown.pixel(0, 200), qRgb(100, 100, 100)) << "the border";
    EXPECT_EQ(shown.pixel(100, 30), ImageSource::Resources().Bitmap(152).pixel(100, 30)) << "the title strip";
    EXPECT_TRUE(testsupport::SaveScreenshot(*pane, QStringLiteral("recording-list")));
}

}  // namespace
}  // namespace listtest
