#include "widgets/WindowMove.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace tavi {

WindowMove::WindowMove(QWidget *handle, int resizeMargin)
    : QObject(handle), handle_(handle), resizeMargin_(resizeMargin)
{
    handle->installEventFilter(this);
}

bool WindowMove::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != handle_)
        return false;
    QWidget *window = handle_->window();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        QWindow *native = window->windowHandle();
        const QPoint inWindow = window->mapFromGlobal(press->globalPosition().toPoint());
        const Qt::Edges edges = edgesAt(inWindow, window->size(), resizeMargin_);
        if (native && ((edges && native->startSystemResize(edges)) || native->startSystemMove())) {
            // The window manager takes the rest of the drag, release included.
            // Without a release Qt keeps the button down (on Wayland) and the
            // next click anywhere in the window is lost.
            QCoreApplication::postEvent(native, new QMouseEvent(QEvent::MouseButtonRelease, inWindow,
                                                                press->globalPosition(), press->button(),
                                                                Qt::NoButton, press->modifiers()));
            return true;
        }
        following_ = true;
        grabOffset_ = press->globalPosition().toPoint() - window->frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove:
        if (following_) {
            window->move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - grabOffset_);
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (following_) {
            following_ = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void centreOver(QWidget *window, const QWidget *owner)
{
    if (owner)
        window->move(owner->geometry().center() - QPoint(window->width() / 2, window->height() / 2));
}

Qt::Edges WindowMove::edgesAt(const QPoint &pos, const QSize &window, int margin)
{
    Qt::Edges edges;
    if (margin <= 0)
        return edges;
    if (pos.x() < margin)
        edges |= Qt::LeftEdge;
    if (pos.x() >= window.width() - margin)
        edges |= Qt::RightEdge;
    if (pos.y() < margin)
        edges |= Qt::TopEdge;
    if (pos.y() >= window.height() - margin)
        edges |= Qt::BottomEdge;
    return edges;
}

} // namespace tavi
