#include "widgets/EventHook.h"

#include <QMouseEvent>
#include <QWidget>

namespace tavi {

EventHook::EventHook(QWidget *widget, QEvent::Type type, std::function<void()> handler, bool consume)
    : QObject(widget), type_(type), handler_(std::move(handler)), consume_(consume)
{
    widget->installEventFilter(this);
}

bool EventHook::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != type_)
        return false;
    if (type_ == QEvent::MouseButtonRelease) {
        // A click is released over the widget; pressing and dragging off cancels, as with any button.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (!static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint()))
            return consume_;
    }
    handler_();
    return consume_;
}

void onClick(QWidget *widget, std::function<void()> handler)
{
    new EventHook(widget, QEvent::MouseButtonRelease, std::move(handler), true);
}

void onEvent(QWidget *widget, QEvent::Type type, std::function<void()> handler)
{
    new EventHook(widget, type, std::move(handler), false);
}

} // namespace tavi
