#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's skin: every window's pictures, drawn here in one light-blue theme.
namespace tavi {

const QColor kSkinLight(0xD8, 0xE3, 0xF3);  // outlines, title strips, caption faces
const QColor kSkinButton(0x5B, 0x7F, 0xB5); // picture buttons
const QColor kSkinText(0x33, 0x4D, 0x73);

enum class CaptionButton { Close, Mini, Max };

// A picture of the given size in window units, filled, with as many pixels as
// the screen's scale gives that size (four for one at 200 %), so that what is
// drawn on it stays sharp on a scaled screen.
QPixmap skinPixmap(QSize size, const QColor &fill = Qt::transparent);

// A caption button's picture in state 0 normal, 1 highlight, 2 down: a
// light-blue face that darkens (red for close) and its glyph.
QPixmap captionPicture(CaptionButton kind, int state, QSize size);

// The program's logo: a small notebook, with the title when there is room.
QPixmap programLogo(QSize size);

// A picture button: its caption in white on a rounded blue face.
QPixmap buttonPicture(const QString &caption, QSize size);

} // namespace tavi
