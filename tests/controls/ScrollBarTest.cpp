#include "SkinListFixture.h"

#include <functional>

using namespace controlstest;
using scrollbar::Action;

namespace {

// The bar with its timers in the test's hand.
class TimedScrollbar : public CSkinVerticleScrollbar {
public:
    using CSkinVerticleScrollbar::CSkinVerticleScrollbar;
    using CSkinVerticleScrollbar::DelayTimerActive;
    using CSkinVerticleScrollbar::OnDelayTimer;
    using CSkinVerticleScrollbar::OnRepeatTimer;
    using CSkinVerticleScrollbar::RepeatTimerActive;
};

constexpr unsigned kUp = scrollbar::kUpArrow, kDown = scrollbar::kDownArrow, kThumb = scrollbar::kThumb;
constexpr unsigned kTop = scrollbar::kTopStrip, kBottom = scrollbar::kBottomStrip;

// A 200-high bar over 40 rows (limit 30), the list at `position`.
class ScrollBarOverRows : public SkinListTest {
protected:
    void Build(int rows = 40, int position = 10)
    {
        SkinListTest::Build(rows);
        list->ScrollRows(position);
        Settle();
    }
    void Click(QWidget& bar, QPoint press, QPoint release)
    {
        Press(bar, press);
        Release(bar, release);
    }
};

}  // namespace

TEST(ThumbTopTest, FollowsThePositionWithinItsTravel)
{
    struct Case {
        int h, pos, limit, expected;
    };
    const Case cases[] = {
        {200, 0, 10, 36},   {200, 5, 10, 91},      {200, 10, 10, 146}, {200, 11, 10, 146},
        {200, 3, 0, 36},    {80, 0, 10, 36},       {80, 5, 10, 36},    {200, 1000000000, 1, 146},
        {200, -5, 10, 36},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scrollbar::ThumbTopFor(c.h, c.pos, c.limit), c.expected)
            << "h " << c.h << " pos " << c.pos << " limit " << c.limit;
}

TEST(HitAreasTest, AreasOverlapAndReleaseDecides)
{
    const int h = 200;
    struct Case {
        const char* name;
        int x, pressY, releaseY, thumbTop;
        unsigned pressAreas;
        Action action;
    };
    const Case cases[] = {
        {"arrow clicked", 5, 20, 20, 91, kUp, Action::LineUp},
        {"down arrow clicked", 5, 170, 170, 91, kDown, Action::LineDown},
        {"down pressed, released on the up arrow", 5, 170, 30, 91, kDown, Action::None},
        {"above the up arrow", 5, 5, 5, 91, kTop, Action::PageUp},
        {"between the up arrow and the thumb", 5, 50, 50, 91, 0, Action::None},
        {"below the thumb in the bottom strip", 5, 190, 190, 91, kBottom, Action::PageDown},
        {"thumb pressed, released in a strip", 5, 95, 5, 91, kThumb, Action::None},
        {"up arrow's top edge outside", 5, 10, 10, 91, kTop, Action::PageUp},
        {"up arrow's top edge inside", 5, 11, 11, 91, kUp | kTop, Action::LineUp},
        {"up arrow's bottom edge inside, thumb there too", 5, 36, 36, 36, kUp | kThumb, Action::LineUp},
        {"up arrow's bottom edge outside", 5, 37, 37, 91, 0, Action::None},
        {"up pressed, released on the down arrow", 5, 20, 170, 91, kUp, Action::None},
        {"x 18 is outside", 18, 20, 20, 91, 0, Action::None},
        {"x 17 is inside", 17, 19, 19, 91, kUp | kTop, Action::LineUp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const scrollbar::Areas pressed = scrollbar::HitAreas(c.x, c.pressY, h, c.thumbTop);
        EXPECT_EQ(pressed, c.pressAreas);
        const scrollbar::Areas released = scrollbar::HitAreas(c.x, c.releaseY, h, c.thumbTop);
        EXPECT_EQ(scrollbar::ReleaseAction(scrollbar::PressFor(pressed), released, c.releaseY, c.thumbTop), c.action);
    }
    const scrollbar::PressFlags both = scrollbar::PressFor(kUp | kThumb);
    EXPECT_TRUE(both.upPressed && both.thumbDragging && !both.downPressed);
}

TEST_F(ScrollBarOverRows, ClicksScrollTheList)
{
    struct Case {
        const char* name;
        int pressY, releaseY, x;
        int expected;  // position after, from 10 (thumb at 72)
    };
    const Case cases[] = {
        {"up arrow", 20, 20, 5, 9},
        {"down arrow", 170, 170, 5, 11},
        {"down pressed, released on the up arrow", 170, 30, 5, 10},
        {"above the up arrow: a page up", 5, 5, 5, 0},
        {"between the up arrow and the thumb", 50, 50, 5, 10},
        {"bottom strip: a page down", 190, 190, 5, 20},
        {"thumb pressed, released in a strip", 75, 5, 5, 10},
        {"up arrow's top edge outside: a page", 10, 10, 5, 0},
        {"up arrow's top edge inside", 11, 11, 5, 9},
        {"up arrow's bottom edge inside", 36, 36, 5, 9},
        {"up arrow's bottom edge outside", 37, 37, 5, 10},
        {"up pressed, released on the down arrow", 20, 170, 5, 10},
        {"x 18 hits nothing", 20, 20, 18, 10},
    };
    Build();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list->ScrollRows(10 - list->ScrollPosition());
        ASSERT_EQ(Bar().ThumbTop(), 72);
        Click(Bar(), QPoint(c.x, c.pressY), QPoint(c.x, c.releaseY));
        EXPECT_EQ(list->ScrollPosition(), c.expected);
        EXPECT_FALSE(Bar().UpPressed() || Bar().DownPressed() || Bar().ThumbDragging());
        EXPECT_EQ(Bar().ThumbTop(), scrollbar::ThumbTopFor(200, c.expected, 30));
    }
}

TEST_F(ScrollBarOverRows, HeldArrowRepeatsUntilReleased)
{
    Build(40, 0);
    TimedScrollbar bar(*list, &parent, skin);
    bar.setGeometry(Bar().geometry());
    const QPoint down(5, 170);

    Press(bar, down);
    EXPECT_TRUE(bar.DownPressed());
    EXPECT_TRUE(bar.DelayTimerActive());
    Release(bar, down);  // within the delay
    EXPECT_EQ(list->ScrollPosition(), 1);
    EXPECT_FALSE(bar.DelayTimerActive() || bar.RepeatTimerActive());

    Press(bar, down);
    bar.OnDelayTimer();
    EXPECT_FALSE(bar.DelayTimerActive());
    EXPECT_TRUE(bar.RepeatTimerActive());
    for (int i = 0; i < 3; ++i)
        bar.OnRepeatTimer();
    Release(bar, down);
    EXPECT_EQ(list->ScrollPosition(), 1 + 4);
    EXPECT_FALSE(bar.DelayTimerActive() || bar.RepeatTimerActive());
    EXPECT_EQ(bar.ThumbTop(), scrollbar::ThumbTopFor(200, 5, 30));

    bar.OnDelayTimer();  // no arrow held: nothing starts
    EXPECT_FALSE(bar.RepeatTimerActive());
}

TEST_F(ScrollBarOverRows, LostReleaseStopsTheRepeat)
{
    Build(40, 0);
    const auto hide = [](TimedScrollbar& bar) { bar.hide(); };
    QWidget other;
    const auto deactivate = [&other](TimedScrollbar& bar) {
        other.show();
        other.activateWindow();
        Settle();
        EXPECT_FALSE(bar.isActiveWindow());
    };
    const auto disable = [](TimedScrollbar& bar) { bar.setEnabled(false); };
    for (const auto& [name, lose] : {std::pair<const char*, std::function<void(TimedScrollbar&)>>{"hidden", hide},
                                     {"window deactivated", deactivate},
                                     {"disabled", disable}}) {
        SCOPED_TRACE(name);
        list->ScrollRows(-list->ScrollPosition());
        TimedScrollbar bar(*list, &parent, skin);
        bar.setGeometry(Bar().geometry());
        bar.show();
        parent.activateWindow();
        Settle();
        Press(bar, QPoint(5, 170));
        bar.OnDelayTimer();
        bar.OnRepeatTimer();
        lose(bar);
        EXPECT_FALSE(bar.DelayTimerActive() || bar.RepeatTimerActive());
        EXPECT_FALSE(bar.UpPressed() || bar.DownPressed() || bar.ThumbDragging());
        bar.OnRepeatTimer();
        EXPECT_EQ(list->ScrollPosition(), 1);
    }
}

TEST_F(ScrollBarOverRows, DraggingTheThumbScrollsToItsRow)
{
    Build(40, 0);
    Press(Bar(), QPoint(5, 40));
    EXPECT_TRUE(Bar().ThumbDragging());
    Move(Bar(), QPoint(5, 120));
    const int middle = *scrollbar::DragTarget(120, 200, 30);
    EXPECT_EQ(list->ScrollPosition(), middle);
    EXPECT_GT(middle, 0);
    Move(Bar(), QPoint(5, 13 + 36));
    EXPECT_EQ(list->ScrollPosition(), 0);
    Move(Bar(), QPoint(5, 500));
    EXPECT_EQ(list->ScrollPosition(), 30);
    EXPECT_EQ(Bar().ThumbTop(), 200 - 54);
    Release(Bar(), QPoint(5, 500));
    EXPECT_FALSE(Bar().ThumbDragging());
    EXPECT_EQ(list->ScrollPosition(), 30);
}

TEST(DragTargetTest, NoTravelScrollsNothing)
{
    EXPECT_EQ(scrollbar::DragTarget(49, 200, 10), 0);
    EXPECT_EQ(scrollbar::DragTarget(500, 200, 10), 10);
    EXPECT_EQ(scrollbar::DragTarget(-500, 200, 10), 0);
    EXPECT_EQ(scrollbar::DragTarget(100, 200, 0), std::nullopt);
    EXPECT_EQ(scrollbar::DragTarget(100, 90, 10), std::nullopt);
    EXPECT_EQ(scrollbar::DragTarget(100, 60, 10), std::nullopt);
}

TEST_F(ScrollBarOverRows, DragWithoutTravelScrollsNothing)
{
    for (const int rows : {0, 5}) {  // an empty list, and one that cannot scroll
        SCOPED_TRACE(rows);
        list.reset();
        Build(rows, 0);
        EXPECT_EQ(list->ScrollLimit(), 0);
        Press(Bar(), QPoint(5, 40));
        Move(Bar(), QPoint(5, 150));
        Release(Bar(), QPoint(5, 150));
        EXPECT_EQ(list->ScrollPosition(), 0);
        Click(Bar(), QPoint(5, 170), QPoint(5, 170));
        EXPECT_EQ(list->ScrollPosition(), 0);
    }
    list.reset();
    Build(40, 0);
    TimedScrollbar shortBar(*list, &parent, skin);
    shortBar.setGeometry(0, 0, 20, 90);
    Press(shortBar, QPoint(5, 40));
    Move(shortBar, QPoint(5, 80));
    Release(shortBar, QPoint(5, 80));
    EXPECT_EQ(list->ScrollPosition(), 0);
}

TEST_F(ScrollBarOverRows, DrawsItsImagesInPlace)
{
    Build(40, 10);
    const QImage shown = Grab(Bar());
    const int h = 200;
    EXPECT_EQ(shown.pixel(0, 0), kTopImage.rgb());
    EXPECT_EQ(shown.pixel(0, 17), kUpImage.rgb());
    EXPECT_EQ(shown.pixel(0, h - 37), kDownImage.rgb());
    EXPECT_EQ(shown.pixel(1, h - 19), kBottomImage.rgb());
    EXPECT_EQ(shown.pixel(0, h - 10), Rgb(0x505050));
    EXPECT_EQ(shown.pixel(19, 5), Rgb(0x505050));
    EXPECT_EQ(shown.pixel(0, 72), kThumbImage.rgb());
    EXPECT_EQ(shown.pixel(0, 60), Rgb(0x505050));

    list.reset();
    Build(5, 0);  // cannot scroll: no thumb
    const QImage still = Grab(Bar());
    EXPECT_EQ(still.pixel(0, 40), Rgb(0x505050));
    EXPECT_EQ(still.pixel(0, 30), kUpImage.rgb());
}
