#pragma once

#include <QDialog>

#include <array>
#include <initializer_list>

class QLabel;
class QPushButton;

namespace tavi {

// The frame every window of the program shares: no system frame, modal, a
// fixed size, a face that moves the window when pressed, and centred over its
// owner (or on the screen given) when it opens. The parts a window adds are
// drawn from the program's skin.
class SkinnedDialog : public QDialog {
    Q_OBJECT
public:
    SkinnedDialog(const QSize &size, QWidget *parent);

    // Centres the window on this area when it opens, instead of over its owner.
    void centreOn(const QRect &area) { centreOn_ = area; }

protected:
    // The face filling the window, in the style given; pressing on it moves the window.
    QLabel *addFace(const QString &styleSheet);
    // A strip of the skin's light colour across the top, inside the border;
    // pressing on it moves the window too.
    QLabel *addTitleStrip(int height);
    // The close button's normal, highlight and down pictures at the top right:
    // highlighted under the mouse, down while pressed, rejecting on release.
    void addClosePictures(QWidget *face, const QSize &size);
    QLabel *closePicture(int state) const { return closePictures_[std::size_t(state)]; }
    // The face of the program's list windows: light, with the title in bold
    // at the top left and the close pictures.
    void addTitledFace(const QString &title);
    // Flat buttons in a row from topLeft, each of size, step apart, none of
    // them taking Enter for itself.
    static void placeButtonRow(std::initializer_list<QPushButton *> buttons, QPoint topLeft, QSize size, int step);

    void showEvent(QShowEvent *event) override;

private:
    void showClosePicture(int state);

    std::array<QLabel *, 3> closePictures_{};
    QRect centreOn_;
};

} // namespace tavi
