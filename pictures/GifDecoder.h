#pragma once

#include "pictures/Bitmap.h"

#include <QByteArrayView>

namespace tavi {

// Decodes the first image of a GIF87a or GIF89a file (giflib) into an 8-bit
// picture with a palette:
// - an image of the logical screen's size is the picture as it stands (its
//   offset is ignored), with its local colour table or else the global one;
// - any other image is drawn at its offset, clipped, onto a picture of the
//   screen's size. The palette is still the image's table (local, else
//   global); pixels the image does not cover take the entry closest to the
//   screen's background colour (entry 0 without a global table or with a
//   background index beyond it);
// - data that breaks off or goes bad after the image's first row ends the
//   image there: the rows not read are background too;
// - a screen without pixels takes the image's size;
// - without any colour table the indices are shown as greys.
// Transparency is ignored (the transparent index keeps its colour); the
// image is de-interlaced. Pixel indices beyond the table stay in the picture
// (Bitmap::pixel shows them black). Anything else - another signature, no
// image, damaged data, more than Bitmap::kMaxPixels pixels in the screen or
// the image - throws ParseError ("GIF: " and the reason).
Bitmap decodeGif(QByteArrayView bytes);

} // namespace tavi
