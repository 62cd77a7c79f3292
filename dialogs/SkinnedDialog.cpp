#include "dialogs/SkinnedDialog.h"

#include "widgets/EventHook.h"
#include "widgets/Skin.h"
#include "widgets/WindowMove.h"

#include <QLabel>
#include <QPushButton>

namespace tavi {

SkinnedDialog::SkinnedDialog(const QSize &size, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFixedSize(size);
    setModal(true);
}

QLabel *SkinnedDialog::addFace(const QString &styleSheet)
{
    auto *face = new QLabel(this);
    face->setGeometry(rect());
    face->setStyleSheet(styleSheet);
    new WindowMove(face);
    return face;
}

QLabel *SkinnedDialog::addTitleStrip(int height)
{
    auto *strip = new QLabel(this);
    strip->setGeometry(1, 1, width() - 2, height);
    strip->setStyleSheet(QStringLiteral("background: %1;").arg(kSkinLight.name()));
    new WindowMove(strip);
    return strip;
}

void SkinnedDialog::addTitledFace(const QString &title)
{
    setWindowTitle(title);
    QLabel *face = addFace(QStringLiteral("background: %1;").arg(kSkinLight.lighter(106).name()));
    auto *label = new QLabel(title, this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->move(14, 12);
    label->adjustSize();
    addClosePictures(face, QSize(39, 20));
}

void SkinnedDialog::addClosePictures(QWidget *face, const QSize &size)
{
    static const char *const names[] = {"img_close_normal", "img_close_highlight", "img_close_down"};
    for (int state = 0; state < 3; ++state) {
        auto *picture = new QLabel(this);
        picture->setObjectName(QLatin1String(names[state]));
        picture->setPixmap(captionPicture(CaptionButton::Close, state, size));
        picture->setGeometry(width() - size.width(), 0, size.width(), size.height());
        picture->setToolTip(QStringLiteral("关闭"));
        closePictures_[std::size_t(state)] = picture;
    }
    closePictures_[0]->setMouseTracking(true);
    face->setMouseTracking(true);
    onEvent(face, QEvent::MouseMove, [this] { showClosePicture(0); });
    onEvent(closePictures_[0], QEvent::MouseMove, [this] { showClosePicture(1); });
    onEvent(closePictures_[1], QEvent::MouseButtonPress, [this] { showClosePicture(2); });
    for (int state : {1, 2}) {
        onClick(closePictures_[std::size_t(state)], [this] {
            showClosePicture(0);
            reject();
        });
    }
    showClosePicture(0);
}

void SkinnedDialog::showClosePicture(int state)
{
    for (int i = 0; i < 3; ++i)
        closePictures_[std::size_t(i)]->setVisible(i == state);
}

void SkinnedDialog::placeButtonRow(std::initializer_list<QPushButton *> buttons, QPoint topLeft, QSize size, int step)
{
    for (QPushButton *button : buttons) {
        button->setFlat(true);
        button->setAutoDefault(false);
        button->setGeometry(QRect(topLeft, size));
        topLeft.rx() += step;
    }
}

void SkinnedDialog::showEvent(QShowEvent *event)
{
    if (centreOn_.isValid())
        move(centreOn_.center() - QPoint(width() / 2, height() / 2));
    else
        centreOver(this, parentWidget());
    QDialog::showEvent(event);
}

} // namespace tavi
