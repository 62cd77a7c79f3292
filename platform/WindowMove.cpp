#include "platform/WindowMove.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace tavi {

WindowMove::WindowMove(QWidget *handle) : QObject(handle), handle_(handle)
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
        if (native && native->startSystemMove())
            return true;
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

} // namespace tavi
