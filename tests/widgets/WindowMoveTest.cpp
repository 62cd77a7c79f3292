#include "widgets/WindowMove.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavi;

TEST(WindowMove, EdgesWithinTheMargin)
{
    const QSize window(900, 500);
    EXPECT_EQ(WindowMove::edgesAt(QPoint(2, 250), window, 4), Qt::LeftEdge);
    EXPECT_EQ(WindowMove::edgesAt(QPoint(897, 499), window, 4), Qt::RightEdge | Qt::BottomEdge);
    EXPECT_EQ(WindowMove::edgesAt(QPoint(450, 0), window, 4), Qt::TopEdge);
    EXPECT_EQ(WindowMove::edgesAt(QPoint(4, 4), window, 4), Qt::Edges());
    EXPECT_EQ(WindowMove::edgesAt(QPoint(0, 0), window, 0), Qt::Edges());
}

TEST(WindowMove, AnyButtonOnTheHandleMovesTheWindow)
{
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 300, 200);
    auto *handle = new QLabel(&window);
    handle->setGeometry(window.rect());
    new WindowMove(handle, 4);
    auto *other = new QLabel(&window); // dragging elsewhere does nothing
    other->setGeometry(200, 100, 50, 50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();

    auto send = [](QWidget *target, QEvent::Type type, const QPoint &global, Qt::MouseButton button) {
        QMouseEvent event(type, target->mapFromGlobal(global), global, button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    const QPoint grab = handle->mapToGlobal(QPoint(50, 50));
    send(handle, QEvent::MouseButtonPress, grab, Qt::RightButton);
    send(handle, QEvent::MouseMove, grab + QPoint(30, 20), Qt::RightButton);
    send(handle, QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::RightButton);
    // Offscreen there is no window manager to move it: the window follows the mouse.
    EXPECT_EQ(window.pos(), start + QPoint(30, 20));

    const QPoint moved = window.pos();
    const QPoint elsewhere = other->mapToGlobal(QPoint(10, 10));
    send(other, QEvent::MouseButtonPress, elsewhere, Qt::LeftButton);
    send(other, QEvent::MouseMove, elsewhere + QPoint(40, 0), Qt::LeftButton);
    send(other, QEvent::MouseButtonRelease, elsewhere + QPoint(40, 0), Qt::LeftButton);
    EXPECT_EQ(window.pos(), moved);
}
