// Any bytes through the BMP reader; whatever it reads must survive the
// conversion to 32 bits and the writer, and read back to the same picture.
#include "pictures/BmpReader.h"
#include "formats/ParseError.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    tavi::Bitmap bitmap;
    try {
        bitmap = tavi::decodeBmp(bytes);
    } catch (const tavi::ParseError &) {
        return 0;
    }
    tavi::Bitmap converted = bitmap;
    converted.convertTo32();
    const tavi::Bitmap back = tavi::decodeBmp(tavi::encodeBmp(converted));
    if (back.width() != bitmap.width() || back.height() != bitmap.height() || back.bitsPerPixel() != 32)
        std::abort();
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            if (back.pixel(x, y) != bitmap.pixel(x, y))
                std::abort();
        }
    }
    return 0;
}
