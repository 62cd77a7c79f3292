#include "widgets/Skin.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

namespace tavi {

QPixmap skinPixmap(QSize size, const QColor &fill)
{
    const qreal scale = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap picture((QSizeF(size) * scale).toSize());
    picture.setDevicePixelRatio(scale);
    picture.fill(fill);
    return picture;
}

QPixmap captionPicture(CaptionButton kind, int state, QSize size)
{
    static const QColor faces[3] = {QColor(0xD8, 0xE3, 0xF3), QColor(0xB9, 0xCC, 0xE8), QColor(0x8F, 0xAA, 0xD3)};
    static const QColor closeFaces[3] = {QColor(0xD8, 0xE3, 0xF3), QColor(0xE8, 0x5A, 0x5A), QColor(0xC0, 0x39, 0x39)};
    QPixmap picture = skinPixmap(size, kind == CaptionButton::Close ? closeFaces[state] : faces[state]);
    QPainter painter(&picture);
    painter.setPen(QPen(state > 0 && kind == CaptionButton::Close ? Qt::white : QColor(0x33, 0x4D, 0x73), 1.5));
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF glyph = QRectF(QPointF(0, 0), size).adjusted(size.width() / 2.0 - 5, 5, -(size.width() / 2.0 - 5), -5);
    switch (kind) {
    case CaptionButton::Close:
        painter.drawLine(glyph.topLeft(), glyph.bottomRight());
        painter.drawLine(glyph.topRight(), glyph.bottomLeft());
        break;
    case CaptionButton::Mini:
        painter.drawLine(glyph.bottomLeft(), glyph.bottomRight());
        break;
    case CaptionButton::Max:
        painter.drawRect(glyph);
        break;
    }
    return picture;
}

namespace {

// The largest pixel size, from largest down to 9, at which the title fits in
// room. Every size measured loads a font of its own, slow for a Chinese face,
// so the size is scaled from one measure (a title's width grows in proportion
// to its size) and only stepped down should rounding make it too wide.
int titlePixelSize(QFont font, const QString &title, qreal room, int largest)
{
    constexpr int kSmallest = 9;
    if (largest <= kSmallest)
        return kSmallest;
    auto widthAt = [&](int pixels) {
        font.setPixelSize(pixels);
        return QFontMetricsF(font).horizontalAdvance(title);
    };
    const qreal width = widthAt(largest);
    if (width <= room)
        return largest;
    int pixels = std::clamp(int(largest * room / width), kSmallest, largest - 1);
    while (pixels > kSmallest && widthAt(pixels) > room)
        --pixels;
    return pixels;
}

} // namespace

QPixmap programLogo(QSize size)
{
    QPixmap picture = skinPixmap(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // A small notebook: a blue cover with a white page and ruled lines.
    const int side = size.height() - 8;
    const QRectF cover(4, 4, side * 0.8, side);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x5B, 0x7F, 0xB5));
    painter.drawRoundedRect(cover, 4, 4);
    painter.setBrush(Qt::white);
    const QRectF page = cover.adjusted(side * 0.18, side * 0.12, -side * 0.1, -side * 0.12);
    painter.drawRect(page);
    painter.setPen(QPen(QColor(0xB9, 0xCC, 0xE8), 1.2));
    for (int line = 1; line <= 4; ++line) {
        const qreal y = page.top() + page.height() * line / 5.0;
        painter.drawLine(QPointF(page.left() + 2, y), QPointF(page.right() - 2, y));
    }
    if (size.width() > size.height() * 2) {
        QFont font(QStringLiteral("宋体"));
        font.setBold(true);
        const QString title = QStringLiteral("Tavi周记事本");
        const qreal room = size.width() - cover.right() - 12;
        font.setPixelSize(titlePixelSize(font, title, room, size.height() / 2));
        painter.setFont(font);
        painter.setPen(QColor(0x33, 0x4D, 0x73));
        painter.drawText(QRectF(cover.right() + 8, 0, size.width() - cover.right() - 8, size.height()),
                         Qt::AlignVCenter | Qt::AlignLeft, title);
    }
    return picture;
}

QPixmap buttonPicture(const QString &caption, QSize size)
{
    QPixmap picture = skinPixmap(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSkinButton);
    painter.drawRoundedRect(QRectF(QPointF(0.5, 0.5), QSizeF(size) - QSizeF(1, 1)), 4, 4);
    QFont font(QStringLiteral("宋体"));
    font.setBold(true);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, caption);
    return picture;
}

} // namespace tavi
