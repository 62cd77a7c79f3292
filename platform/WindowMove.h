#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace tavi {

// Pressing any mouse button on the watched widget moves its window, as a
// title bar would: the window manager's own move where it has one
// (QWindow::startSystemMove), otherwise the window follows the mouse until
// the button is released.
class WindowMove : public QObject {
public:
    // Watches handle; moves handle's window. Owned by handle.
    explicit WindowMove(QWidget *handle);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *handle_;
    bool following_ = false;
    QPoint grabOffset_; // the mouse position relative to the window's corner when the drag began
};

} // namespace tavi
