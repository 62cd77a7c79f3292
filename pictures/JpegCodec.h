#pragma once

#include "pictures/Bitmap.h"

#include <QByteArray>
#include <QByteArrayView>

namespace tavi {

// Decodes a JPEG file with libjpeg at full size and the library's defaults,
// giving what libjpeg-turbo's `djpeg -bmp` writes: colour pictures as 24 bits,
// greyscale ones quantised by the library to 236 greys (default dither) as 8
// bits with that palette. CMYK pictures become 24 bits the way djpeg converts
// them. Damaged or truncated data that libjpeg only warns about still gives a
// picture (libjpeg fills what is missing). Anything libjpeg refuses, and
// pictures of more than Bitmap::kMaxPixels pixels, throw ParseError
// ("JPEG: " and libjpeg's message).
Bitmap decodeJpeg(QByteArrayView bytes);

// Encodes a picture as a baseline colour JPEG (8-bit pictures through their
// palette) at the given quality (1..100; values outside are clamped).
// Throws std::invalid_argument for an empty picture or one JPEG cannot hold
// (a side beyond 65500).
QByteArray encodeJpeg(const Bitmap &bitmap, int quality = 90);

} // namespace tavi
