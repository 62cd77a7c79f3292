#pragma once

#include "pictures/Bitmap.h"

#include <QByteArrayView>
#include <QString>

namespace tavi {

// Reads a Windows or OS/2 BMP file: 1, 4 and 8 bits per pixel (to 8 bits with
// the file's palette), RLE4 and RLE8 (to 8 bits), 16 bits (to 24), 24 bits,
// and 32 bits (kept with their fourth byte, or to 32 from bitfields). Every
// field is checked: anything damaged, absurd or unsupported throws ParseError
// (platform/ParseError.h) with a readable message. Uncompressed pixels must all
// be in the file before the picture is allocated; an RLE picture, which can
// legitimately be far larger than its file, is limited by Bitmap::kMaxPixels.
Bitmap decodeBmp(QByteArrayView bytes);
// decodeBmp() of a file; a file that cannot be read throws FileError.
Bitmap readBmp(const QString &path);

} // namespace tavi
