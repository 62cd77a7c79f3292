#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace tavi {

// Places window centred over owner (nothing happens without an owner).
void centreOver(QWidget *window, const QWidget *owner);

// Pressing any mouse button on the watched widget moves its window, as a
// title bar would: the window manager's own move where it has one
// (QWindow::startSystemMove), otherwise the window follows the mouse until
// the button is released.
class WindowMove : public QObject {
public:
    // Watches handle; moves handle's window. Owned by handle. With a margin,
    // a press that close to the window's edge resizes it by that edge instead
    // (the window manager's own resize, where it has one).
    explicit WindowMove(QWidget *handle, int resizeMargin = 0);

    // The window edges a press at pos (window coordinates) grabs, none when
    // it is farther than margin from every edge.
    static Qt::Edges edgesAt(const QPoint &pos, const QSize &window, int margin);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *handle_;
    int resizeMargin_;
    bool following_ = false;
    QPoint grabOffset_; // the mouse position relative to the window's corner when the drag began
};

} // namespace tavi
