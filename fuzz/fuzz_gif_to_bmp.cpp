// Any bytes through the GIF decoder; whatever it decodes must make a BMP file.
#include "pictures/Bitmap.h"
#include "pictures/GifDecoder.h"
#include "formats/ParseError.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    tavi::Bitmap picture;
    try {
        picture = tavi::decodeGif(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const tavi::ParseError &) {
        return 0;
    }
    const QByteArray bmp = tavi::encodeBmp(picture);
    // A picture that decodes has pixels, a palette, and the file holds them all.
    if (picture.isEmpty() || picture.bitsPerPixel() != 8 || picture.palette.empty()
        || bmp.size() < qsizetype(picture.stride()) * picture.height())
        std::abort();
    return 0;
}
