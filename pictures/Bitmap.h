#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <vector>

namespace tavi {

// A picture as the BMP files hold it: rows of bytes, top row first, each row
// padded to a multiple of four bytes. 8 bits per pixel index the palette;
// 24 bits are blue, green, red; 32 bits are blue, green, red and a fourth
// byte that the blend treats like the others.
class Bitmap {
public:
    Bitmap() = default;
    // A picture of width x height at 8, 24 or 32 bits per pixel, all bytes zero.
    // Throws std::invalid_argument for other depths or sizes beyond kMaxPixels.
    Bitmap(int width, int height, int bitsPerPixel);

    // Pictures larger than this are refused rather than allocated (about 256 MB at 32 bits).
    static constexpr std::int64_t kMaxPixels = std::int64_t(1) << 26;

    int width() const { return width_; }
    int height() const { return height_; }
    int bitsPerPixel() const { return bitsPerPixel_; }
    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    // Bytes per row, padding included.
    int stride() const { return stride_; }
    static int strideFor(int width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }

    std::uint8_t *row(int y) { return pixels_.data() + std::size_t(y) * std::size_t(stride_); }
    const std::uint8_t *row(int y) const { return pixels_.data() + std::size_t(y) * std::size_t(stride_); }
    std::uint8_t *bits() { return pixels_.data(); }
    const std::uint8_t *bits() const { return pixels_.data(); }

    // The colours of an 8-bit picture (alpha ignored).
    std::vector<QRgb> palette;

    // The colour at (x, y) as RGB, through the palette for 8 bits per pixel
    // (an index beyond the palette gives black).
    QRgb pixel(int x, int y) const;

    // Converts the picture to 32 bits per pixel in place; the fourth byte of
    // converted pixels is zero, that of 32-bit pictures is kept.
    void convertTo32();

private:
    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 32;
    int stride_ = 0;
    std::vector<std::uint8_t> pixels_;
};

// The picture of a QImage at 24 bits per pixel.
Bitmap bitmapFromImage(const QImage &image);

// Writes an uncompressed BMP ("BM", 40-byte BITMAPINFOHEADER, bottom-up rows)
// of the picture's depth: 8 bits with its palette, 24 or 32 bits.
QByteArray encodeBmp(const Bitmap &bitmap);
// encodeBmp() into a file, replacing it atomically. Throws FileError.
void writeBmp(const QString &path, const Bitmap &bitmap);

} // namespace tavi
