#include "pictures/Bitmap.h"

#include "formats/LineFile.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tavi {

Bitmap::Bitmap(int width, int height, int bitsPerPixel)
{
    if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32)
        throw std::invalid_argument("a picture has 8, 24 or 32 bits per pixel");
    if (width < 0 || height < 0 || std::int64_t(width) * height > kMaxPixels)
        throw std::invalid_argument("picture size " + std::to_string(width) + " x " + std::to_string(height)
                                    + " is out of range");
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    stride_ = strideFor(width, bitsPerPixel);
    pixels_.assign(std::size_t(stride_) * std::size_t(height), 0);
}

QRgb Bitmap::pixel(int x, int y) const
{
    const std::uint8_t *p = row(y);
    switch (bitsPerPixel_) {
    case 8: {
        const std::uint8_t index = p[x];
        return index < palette.size() ? (palette[index] | 0xFF000000u) : qRgb(0, 0, 0);
    }
    case 24:
        p += 3 * x;
        return qRgb(p[2], p[1], p[0]);
    default:
        p += 4 * x;
        return qRgb(p[2], p[1], p[0]);
    }
}

void Bitmap::convertTo32()
{
    if (bitsPerPixel_ == 32)
        return;
    Bitmap converted(width_, height_, 32);
    // Palette entries as blue, green, red, 0; indices beyond the palette are black.
    std::uint32_t lookup[256] = {};
    for (std::size_t i = 0; i < std::min<std::size_t>(palette.size(), 256); ++i)
        lookup[i] = palette[i] & 0x00FFFFFFu;
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t *in = row(y);
        std::uint8_t *out = converted.row(y);
        if (bitsPerPixel_ == 8) {
            for (int x = 0; x < width_; ++x)
                qToLittleEndian(lookup[in[x]], out + 4 * x);
        } else {
            for (int x = 0; x < width_; ++x, in += 3, out += 4) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = 0;
            }
        }
    }
    *this = std::move(converted);
}

Bitmap bitmapFromImage(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Bitmap bitmap(rgb.width(), rgb.height(), 24);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar *in = rgb.constScanLine(y);
        std::uint8_t *out = bitmap.row(y);
        for (int x = 0; x < rgb.width(); ++x, in += 3, out += 3) {
            out[0] = in[2]; // blue, green, red
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return bitmap;
}

QByteArray encodeBmp(const Bitmap &bitmap)
{
    const int colours = bitmap.bitsPerPixel() == 8 ? 256 : 0;
    const std::uint32_t headers = 14 + 40 + 4 * colours;
    const std::uint32_t imageSize = std::uint32_t(bitmap.stride()) * std::uint32_t(bitmap.height());
    QByteArray out(qsizetype(headers + imageSize), '\0');
    auto *p = reinterpret_cast<std::uint8_t *>(out.data());
    auto put16 = [](std::uint8_t *at, std::uint16_t v) { qToLittleEndian(v, at); };
    auto put32 = [](std::uint8_t *at, std::uint32_t v) { qToLittleEndian(v, at); };
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, headers + imageSize);
    put32(p + 10, headers);
    put32(p + 14, 40);
    put32(p + 18, std::uint32_t(bitmap.width()));
    put32(p + 22, std::uint32_t(bitmap.height())); // positive: bottom-up rows
    put16(p + 26, 1);
    put16(p + 28, std::uint16_t(bitmap.bitsPerPixel()));
    put32(p + 30, 0); // BI_RGB
    put32(p + 34, imageSize);
    put32(p + 38, 3780); // 96 dots per inch
    put32(p + 42, 3780);
    put32(p + 46, std::uint32_t(colours));
    for (int i = 0; i < colours; ++i) {
        const QRgb colour = std::size_t(i) < bitmap.palette.size() ? bitmap.palette[std::size_t(i)] : 0;
        std::uint8_t *entry = p + 54 + 4 * i;
        entry[0] = std::uint8_t(qBlue(colour));
        entry[1] = std::uint8_t(qGreen(colour));
        entry[2] = std::uint8_t(qRed(colour));
    }
    std::uint8_t *rows = p + headers;
    for (int y = 0; y < bitmap.height(); ++y)
        std::memcpy(rows + std::size_t(bitmap.height() - 1 - y) * std::size_t(bitmap.stride()), bitmap.row(y),
                    std::size_t(bitmap.stride()));
    return out;
}

void writeBmp(const QString &path, const Bitmap &bitmap)
{
    writeFileAtomically(path, encodeBmp(bitmap));
}

} // namespace tavi
