#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

class QWidget;

namespace tavi {

// Runs a handler when a widget receives an event of one type: what picture
// buttons and labels need, since they have no signals of their own.
class EventHook : public QObject {
public:
    // consume: the event goes no further than the handler.
    EventHook(QWidget *widget, QEvent::Type type, std::function<void()> handler, bool consume);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QEvent::Type type_;
    std::function<void()> handler_;
    bool consume_;
};

// A click: the left mouse button pressed on the widget and released over it;
// a release elsewhere is consumed and does nothing.
void onClick(QWidget *widget, std::function<void()> handler);
// Any event of that type, passed on after the handler ran.
void onEvent(QWidget *widget, QEvent::Type type, std::function<void()> handler);

} // namespace tavi
