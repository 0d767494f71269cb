#include "platform/widgets/WindowMove.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window with a title strip to drag it by; offscreen, so the window
// system cannot move it and the fallback does.
class WindowMoveTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.setGeometry(100, 100, 300, 200);
        strip->setGeometry(0, 0, 300, 20);
        window.show();
        start = window.pos();  // the frame's corner, as move() takes it
        QCursor::setPos(pointer);
    }

    // What the platform delivers: the event at the strip, global positions.
    void Send(QEvent::Type type, QPoint global, Qt::MouseButtons held, Qt::MouseButton button = Qt::NoButton)
    {
        QMouseEvent event(type, QPointF(strip->mapFromGlobal(global)), QPointF(global), button, held, Qt::NoModifier);
        QApplication::sendEvent(strip, &event);
    }
    void Drag(QPoint offset) { Send(QEvent::MouseMove, pointer + offset, Qt::LeftButton); }

    QWidget window;
    QWidget* strip = new QWidget(&window);
    const QPoint pointer{150, 110};
    QPoint start;
};

TEST_F(WindowMoveTest, TheWindowFollowsThePointerUntilTheRelease)
{
    platform::StartWindowMove(strip);
    Drag({30, 20});
    EXPECT_EQ(window.pos(), start + QPoint(30, 20));
    Drag({25, 20});
    EXPECT_EQ(window.pos(), start + QPoint(25, 20));
    Send(QEvent::MouseButtonRelease, pointer + QPoint(25, 20), Qt::NoButton, Qt::LeftButton);
    Drag({100, 100});
    EXPECT_EQ(window.pos(), start + QPoint(25, 20)) << "nothing after the release";
}

TEST_F(WindowMoveTest, HidingTheWindowOrMovingWithoutTheButtonEndsTheMove)
{
    platform::StartWindowMove(strip);
    window.hide();
    window.show();
    Drag({30, 20});
    EXPECT_EQ(window.pos(), start);

    platform::StartWindowMove(strip);
    Send(QEvent::MouseMove, pointer + QPoint(5, 5), Qt::NoButton);  // the release went elsewhere
    Drag({30, 20});
    EXPECT_EQ(window.pos(), start);
}

TEST_F(WindowMoveTest, ASecondCallReplacesTheFirst)
{
    platform::StartWindowMove(strip);
    const QPoint second = pointer + QPoint(40, 0);
    QCursor::setPos(second);
    platform::StartWindowMove(strip);
    Send(QEvent::MouseMove, second + QPoint(10, 5), Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(10, 5));
    Send(QEvent::MouseButtonRelease, second + QPoint(10, 5), Qt::NoButton, Qt::LeftButton);
}

}  // namespace
