#include "SkinListFixture.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>

using namespace controlstest;

namespace {

constexpr gdi::ColorRef kEven = 0x505050, kOdd = 0x3C3C3C, kText = 0xC8C8C8;
constexpr gdi::ColorRef kSelectedText = 0x141414, kSelected = 0x00A5FF, kPlaying = 0xC56A31;

}  // namespace

TEST(RowColoursTest, ByIndexSelectionAndPlayingNumber)
{
    struct Case {
        const char* name;
        int row;
        bool selected;
        const char* number;
        int playing;
        RowColors expected;
    };
    const Case cases[] = {
        {"row 3 is odd", 3, false, "4", 0, {kText, kOdd}},
        {"even by index, not by number", 2, false, "7", 0, {kText, kEven}},
        {"selected", 4, true, "5", 0, {kSelectedText, kSelected}},
        {"playing", 1, false, "5", 5, {kText, kPlaying}},
        {"playing and selected", 4, true, "5", 5, {kText, kPlaying}},
        {"empty text is no number", 0, false, "", 0, {kText, kEven}},
        {"letters are no number", 1, false, "abc", 0, {kText, kOdd}},
        {"digits then letters are no number", 0, false, "12abc", 0, {kText, kEven}},
        {"a sign is no number", 0, false, "-1", -1, {kText, kEven}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RowColors colours = RowColours(c.row, c.selected, QString::fromUtf8(c.number), c.playing);
        EXPECT_EQ(colours.text, c.expected.text);
        EXPECT_EQ(colours.background, c.expected.background);
    }
}

TEST_F(SkinListTest, RowsShowTheirColours)
{
    Build(20);
    list->SetPlayingNumber(3);
    const QImage shown = Grab(*list);
    const gdi::ColorRef expected[] = {kEven, kOdd, kPlaying, kOdd, kEven};
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(shown.pixel(1, RowY(row)), Rgb(expected[row]));
        EXPECT_EQ(shown.pixel(238, RowY(row)), Rgb(expected[row]));
        EXPECT_EQ(shown.pixel(250, RowY(row)), Rgb(CSkinListCtrl::kBackgroundColor));  // past the columns
    }
}

TEST_F(SkinListTest, AUserClickedSelectionShowsOnceThenGoes)
{
    Build(20);
    list->SetUserClicked(true);
    list->SelectItem(3);
    EXPECT_EQ(Grab(*list).pixel(1, RowY(3)), Rgb(kSelected));
    Settle();
    EXPECT_EQ(list->GetSelectedItem(), -1);
    EXPECT_EQ(Grab(*list).pixel(1, RowY(3)), Rgb(kOdd));
}

TEST_F(SkinListTest, ASelectionMadeForPlaybackStays)
{
    Build(20);
    list->SetUserClicked(false);
    list->SelectItem(3);
    for (int grab = 0; grab < 3; ++grab) {
        SCOPED_TRACE(grab);
        EXPECT_EQ(Grab(*list).pixel(1, RowY(3)), Rgb(kSelected));
        Settle();
        EXPECT_EQ(list->GetSelectedItem(), 3);
    }
}

TEST_F(SkinListTest, HeaderStripAndHeadings)
{
    Build(5);
    list->Header()->model()->setHeaderData(3, Qt::Horizontal, QStringLiteral("A heading far too long for its column"));
    const QImage shown = Grab(*list->Header());
    const QRgb strip = kHeaderImage.rgb();
    EXPECT_EQ(shown.pixel(0, 5), Rgb(CSkinListCtrl::kBackgroundColor));
    EXPECT_EQ(shown.pixel(1, 5), Rgb(CSkinListCtrl::kBackgroundColor));
    EXPECT_EQ(shown.pixel(2, 1), strip);

    // The ink of a heading: centred in its section shrunk by 2 pixels.
    const auto inkOf = [&](int section) {
        QRect ink;
        const int left = list->Header()->sectionViewportPosition(section);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = left; x < left + list->Header()->sectionSize(section); ++x)
                if (shown.pixel(x, y) != strip)
                    ink |= QRect(x, y, 1, 1);
        return ink;
    };
    const QRect date = inkOf(1);
    const QRect dateBox = QRect(40, 0, 80, 18).adjusted(2, 2, -2, -2);
    ASSERT_FALSE(date.isNull());
    EXPECT_NEAR(date.left() - dateBox.left(), gdi::Right(dateBox) - gdi::Right(date), 2);
    EXPECT_GE(date.top(), 2);
    const QRect elided = inkOf(3);
    ASSERT_FALSE(elided.isNull());
    EXPECT_GE(elided.left(), 180 + 2);
    EXPECT_LE(gdi::Right(elided), 240 - 2);
}

TEST_F(SkinListTest, ScrollBarStandsOverTheListsRightEdge)
{
    Build(40, QSize(300, 198));
    EXPECT_EQ(Bar().geometry(), QRect(300 - 21, 35, 20, 200));
    EXPECT_EQ(Bar().parentWidget(), &parent);
    EXPECT_EQ(Bar().GetControlId(), 0xFFFF);
    EXPECT_EQ(list->viewport()->width(), 300 - CSkinListCtrl::kScrollBarMargin);
    EXPECT_EQ(list->ScrollLimit(), 30);  // 10 whole rows of 17 under the 18-pixel header

    list->resize(250, 100);
    list->PositionScrollBar();
    EXPECT_EQ(Bar().geometry(), QRect(250 - 21, 35, 20, 102));
}

TEST_F(SkinListTest, WheelAndKeysMoveTheThumb)
{
    Build(40);
    EXPECT_EQ(Bar().ThumbTop(), 36);
    for (int turn = 0; turn < 2; ++turn) {
        QWheelEvent down(QPointF(50, 50), QPointF(list->viewport()->mapToGlobal(QPoint(50, 50))), QPoint(),
                         QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(list->viewport(), &down);
    }
    EXPECT_GT(list->ScrollPosition(), 0);
    EXPECT_EQ(Bar().ThumbTop(), scrollbar::ThumbTopFor(200, list->ScrollPosition(), 30));
    EXPECT_GT(Bar().ThumbTop(), 36);

    list->setFocus();
    Key(*list, Qt::Key_End);
    EXPECT_EQ(list->ScrollPosition(), 30);
    EXPECT_EQ(Bar().ThumbTop(), 200 - 54);
}

TEST_F(SkinListTest, ClicksAndColumnClicksAreReported)
{
    Build(10);
    QSignalSpy clicked(list.get(), &CSkinListCtrl::itemClicked);
    QSignalSpy doubleClicked(list.get(), &CSkinListCtrl::itemDoubleClicked);
    QSignalSpy columnClicked(list.get(), &CSkinListCtrl::columnClicked);

    const QPoint row2(20, 2 * CSkinListCtrl::kRowHeight + 8);
    Press(*list->viewport(), row2);
    Release(*list->viewport(), row2);
    DoubleClick(*list->viewport(), row2);
    Release(*list->viewport(), row2);
    ASSERT_GE(clicked.count(), 1);
    EXPECT_EQ(clicked.first().at(0).toInt(), 2);
    ASSERT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(doubleClicked.first().at(0).toInt(), 2);

    const QPoint belowRows(20, 176);
    DoubleClick(*list->viewport(), belowRows);
    Release(*list->viewport(), belowRows);
    ASSERT_EQ(doubleClicked.count(), 2);
    EXPECT_EQ(doubleClicked.last().at(0).toInt(), -1);

    QWidget& heading = *list->Header()->viewport();
    Press(heading, QPoint(150, 9));
    Release(heading, QPoint(150, 9));
    ASSERT_EQ(columnClicked.count(), 1);
    EXPECT_EQ(columnClicked.first().at(0).toInt(), 2);
}

TEST_F(SkinListTest, DividersDoNotResize)
{
    Build(10);
    QWidget& heading = *list->Header()->viewport();
    const QPoint divider(40, 9);
    Press(heading, divider);
    for (int x = 41; x <= 90; x += 7)
        Move(heading, QPoint(x, 9));
    Release(heading, QPoint(90, 9));
    DoubleClick(heading, divider);
    Release(heading, divider);
    for (const auto& [section, width] : {std::pair{0, 40}, {1, 80}, {2, 60}, {3, 60}})
        EXPECT_EQ(list->Header()->sectionSize(section), width) << section;
}

// The list's headings can be dragged to another place, the first one too.
TEST_F(SkinListTest, HeadingsAreDraggedToAnotherPlace)
{
    Build(10);
    QHeaderView& header = *list->Header();
    const auto drag = [&](int fromX, int toX) {
        QWidget& heading = *header.viewport();
        Press(heading, QPoint(fromX, 9));
        for (int x = fromX; x != toX; x += fromX < toX ? 5 : -5)
            Move(heading, QPoint(x, 9));
        Move(heading, QPoint(toX, 9));
        Release(heading, QPoint(toX, 9));
    };
    drag(80, 210);  // the date heading, at 40-119, onto the type heading
    EXPECT_GT(header.visualIndex(1), 1);
    drag(20, 150);  // the number heading, at 0-39
    EXPECT_GT(header.visualIndex(0), 0);
    for (const auto& [section, width] : {std::pair{0, 40}, {1, 80}, {2, 60}, {3, 60}})
        EXPECT_EQ(header.sectionSize(section), width) << section;
}

TEST_F(SkinListTest, ReportViewCalls)
{
    Build(0);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->InsertItem(5, {QStringLiteral("9")}), 0);  // out of range: at the end
    EXPECT_EQ(list->InsertItem(0, {QStringLiteral("8"), QStringLiteral("d")}), 0);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("8"));
    EXPECT_EQ(list->GetItemText(1, 0), QStringLiteral("9"));
    EXPECT_EQ(list->GetItemText(1, 1), QString());
    EXPECT_TRUE(list->SetItemText(1, 3, QStringLiteral("t")));
    EXPECT_FALSE(list->SetItemText(2, 0, QStringLiteral("x")));
    EXPECT_EQ(list->GetItemText(7, 0), QString());
    list->SelectItem(1);
    EXPECT_EQ(list->GetSelectedItem(), 1);
    list->SelectItem(9);
    EXPECT_EQ(list->GetSelectedItem(), 1);
    list->RedrawItems(-3, 40);
    list->EnsureVisible(-1);
    list->DeleteAllItems();
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->GetSelectedItem(), -1);
}

TEST(SkinListLifetimeTest, ListTakesItsScrollBarAlong)
{
    FakeImageSource skin;
    AddListSkin(skin);
    auto* pane = new QWidget;
    auto* list = new CSkinListCtrl(pane, skin);
    list->InitSkin();
    QPointer<CSkinVerticleScrollbar> bar = list->ScrollBar();
    ASSERT_TRUE(bar);
    delete list;
    EXPECT_FALSE(bar);

    list = new CSkinListCtrl(pane, skin);
    list->InitSkin();
    delete pane;  // the parent goes first: the list, then nothing twice
}
