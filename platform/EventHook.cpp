#include "platform/EventHook.h"

#include <QMouseEvent>
#include <QWidget>

namespace tavi {

EventHook::EventHook(QWidget *widget, QEvent::Type type, std::function<void()> handler, bool consume)
    : QObject(widget), type_(type), handler_(std::move(handler)), consume_(consume)
{
    widget->installEventFilter(this);
}

bool EventHook::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != type_)
        return false;
    if (type_ == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return false;
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
