#include "ControlsTestSupport.h"
#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"

#include <QSignalSpy>

using namespace controlstest;

namespace {

const QColor kFace(200, 200, 200);

// An icon with an opaque 10 x 10 centre on a transparent field.
QImage Icon(QColor color)
{
    QImage icon = Flat(QSize(32, 32), Qt::transparent, QImage::Format_ARGB32);
    for (int y = 11; y < 21; ++y)
        for (int x = 11; x < 21; ++x)
            icon.setPixelColor(x, y, color);
    return icon;
}

}  // namespace

TEST(ButtonBackgroundTest, SourceRectangle)
{
    struct Case {
        int id;
        QPoint pos;
        QSize size;
        QRect source;
    };
    const Case cases[] = {
        {107, QPoint(0, 0), QSize(32, 32), QRect(3, 8, 32, 32)},
        {107, QPoint(500, 300), QSize(33, 33), QRect(3, 8, 33, 33)},
        {108, QPoint(57, 9), QSize(32, 32), QRect(57, 9, 50, 20)},
        {152, QPoint(1880, 1), QSize(32, 32), QRect(1880, 1, 50, 20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(BackgroundSourceRect(c.id, c.pos, c.size), c.source);
    }
}

class ButtonStyleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        images.AddBitmap(107, Gradient(QSize(1065, 55)));
        images.AddBitmap(108, Gradient(QSize(1065, 46)));
        images.AddBitmap(152, Gradient(QSize(1920, 34)));
        images.AddIcon(1, Icon(Qt::red));
        images.AddIcon(2, Icon(Qt::blue));
        images.AddIcon(3, Icon(Qt::yellow));
        button = new CButtonStyle(&parent, images);
        button->resize(32, 32);
        button->SetIcons(1, 2, 3);
        parent.show();
    }

    QRgb Shown(QPoint inButton) { return Grab(parent).pixel(button->pos() + inButton); }

    GreenParent parent{QSize(1960, 100)};
    FakeImageSource images;
    CButtonStyle* button = nullptr;
};

TEST_F(ButtonStyleTest, StretchesItsPlaceOfTheBackground)
{
    button->move(57, 9);
    button->SetBackgroundBitmap(108);
    EXPECT_EQ(Shown(QPoint(0, 0)), GradientAt(57, 9));
    EXPECT_EQ(Shown(QPoint(31, 31)), GradientAt(106, 28));
    EXPECT_EQ(Shown(QPoint(15, 15)), qRgb(255, 0, 0));
}

TEST_F(ButtonStyleTest, PlayerBackgroundIsTheSameCornerAnywhere)
{
    button->SetBackgroundBitmap(107);
    for (const QPoint place : {QPoint(0, 0), QPoint(700, 40)}) {
        button->move(place);
        EXPECT_EQ(Shown(QPoint(0, 0)), GradientAt(3, 8));
        EXPECT_EQ(Shown(QPoint(31, 31)), GradientAt(34, 39));
    }
}

TEST_F(ButtonStyleTest, BeyondTheBackgroundShowsTheParent)
{
    button->move(1910, 1);
    button->SetBackgroundBitmap(152);
    EXPECT_EQ(Shown(QPoint(0, 0)), GradientAt(1910, 1));
    EXPECT_EQ(Shown(QPoint(31, 0)), Green());
}

TEST_F(ButtonStyleTest, MissingBackgroundDrawsOnlyTheIcon)
{
    button->move(20, 20);
    button->SetBackgroundBitmap(999);
    EXPECT_EQ(Shown(QPoint(0, 0)), Green());
    EXPECT_EQ(Shown(QPoint(31, 31)), Green());
    EXPECT_EQ(Shown(QPoint(15, 15)), qRgb(255, 0, 0));
}

TEST_F(ButtonStyleTest, FacesFollowTheMouse)
{
    EXPECT_EQ(button->state(), CButtonStyle::Normal);
    Move(*button, QPoint(5, 5), false);
    EXPECT_EQ(button->state(), CButtonStyle::Hover);
    EXPECT_EQ(Shown(QPoint(15, 15)), qRgb(255, 255, 0));
    Press(*button, QPoint(5, 5));
    EXPECT_EQ(button->state(), CButtonStyle::Pressed);
    EXPECT_EQ(Shown(QPoint(15, 15)), qRgb(0, 0, 255));
    Release(*button, QPoint(5, 5));
    EXPECT_EQ(button->state(), CButtonStyle::Hover);
    Leave(*button);
    EXPECT_EQ(button->state(), CButtonStyle::Normal);
    Move(*button, QPoint(6, 6), false);
    EXPECT_EQ(button->state(), CButtonStyle::Hover);
}

TEST_F(ButtonStyleTest, PressEndedElsewhereReturnsToNormal)
{
    Move(*button, QPoint(5, 5), false);
    Press(*button, QPoint(5, 5));
    Leave(*button);
    Release(*button, QPoint(100, 50));
    EXPECT_EQ(button->state(), CButtonStyle::Normal);
    Move(*button, QPoint(5, 5), false);
    EXPECT_EQ(button->state(), CButtonStyle::Hover);

    Press(*button, QPoint(5, 5));
    button->setEnabled(false);
    EXPECT_EQ(button->state(), CButtonStyle::Normal);
    button->setEnabled(true);
    Move(*button, QPoint(5, 5), false);
    EXPECT_EQ(button->state(), CButtonStyle::Hover);
}

TEST_F(ButtonStyleTest, DoubleClickIsTwoClicks)
{
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    Press(*button, QPoint(5, 5));
    Release(*button, QPoint(5, 5));
    DoubleClick(*button, QPoint(5, 5));
    EXPECT_EQ(button->state(), CButtonStyle::Pressed);
    Release(*button, QPoint(5, 5));
    EXPECT_EQ(clicked.size(), 2);
}

TEST(PickBitmapTest, PressedFocusedDisabledEachOnlyWithItsImage)
{
    struct Case {
        ButtonFaceState state;
        AvailableFaces available;
        BitmapFace face;
    };
    const AvailableFaces all{true, true, true};
    const AvailableFaces none{false, false, false};
    const Case cases[] = {
        {{false, false, false}, all, BitmapFace::Normal},
        {{true, false, false}, all, BitmapFace::Selected},
        {{true, false, false}, none, BitmapFace::Normal},
        {{true, true, false}, {false, true, false}, BitmapFace::Focus},
        {{false, true, false}, all, BitmapFace::Focus},
        {{false, true, false}, none, BitmapFace::Normal},
        {{false, false, true}, all, BitmapFace::Disabled},
        {{false, false, true}, none, BitmapFace::Normal},
        {{false, true, true}, {false, false, true}, BitmapFace::Disabled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state.pressed << c.state.focused << c.state.disabled << " "
                                        << c.available.selected << c.available.focus << c.available.disabled);
        EXPECT_EQ(PickBitmap(c.state, c.available), c.face);
    }
}

class BitmapButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int id : {139, 140, 181, 182})
            images.AddBitmap(id, Flat(QSize(43, 21), QColor(id, 0, 0)));
        button = new CMyBitmapButton(&parent, images);
        parent.show();
    }
    QRgb Shown() { return Grab(parent).pixel(button->pos() + QPoint(5, 5)); }

    GreenParent parent;
    FakeImageSource images;
    CMyBitmapButton* button = nullptr;
};

TEST_F(BitmapButtonTest, MissingLaterImageStillLoadsTheOthers)
{
    EXPECT_FALSE(button->LoadBitmaps(139, 140, 139, 142));
    EXPECT_EQ(images.BitmapRequests(), (std::vector<int>{139, 140, 139, 142}));
    button->SizeToContent();
    EXPECT_EQ(button->size(), QSize(43, 21));
    EXPECT_EQ(Shown(), qRgb(139, 0, 0));
    Press(*button, QPoint(5, 5));
    EXPECT_EQ(Shown(), qRgb(140, 0, 0));
    Release(*button, QPoint(5, 5));
}

TEST_F(BitmapButtonTest, MissingNormalStopsAndHoldsNothing)
{
    ASSERT_TRUE(button->LoadBitmaps(139, 140, 0, 0));
    button->resize(43, 21);
    EXPECT_FALSE(button->LoadBitmaps(142, 139, 139, 139));
    EXPECT_EQ(images.BitmapRequests(), (std::vector<int>{139, 140, 142}));
    EXPECT_EQ(Shown(), Green());
    Press(*button, QPoint(5, 5));
    EXPECT_EQ(Shown(), Green());
}

TEST_F(BitmapButtonTest, NoneRequestedIsNotMissing)
{
    EXPECT_TRUE(button->LoadBitmaps(181, 182, 0, 0));
    EXPECT_EQ(images.BitmapRequests(), (std::vector<int>{181, 182}));
}

TEST_F(BitmapButtonTest, CheckIsChangedOnlyByTheOwner)
{
    ASSERT_TRUE(button->LoadBitmaps(181, 182, 0, 0));
    button->SizeToContent();
    button->SetCheck(true);
    for (int i = 0; i < 2; ++i) {
        Press(*button, QPoint(5, 5));
        Release(*button, QPoint(5, 5));
    }
    EXPECT_TRUE(button->GetCheck());
    button->SetCheck(false);
    EXPECT_FALSE(button->GetCheck());
}
