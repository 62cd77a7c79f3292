#include "pictures/BmpReader.h"
#include "formats/ParseError.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

using namespace tavi;

namespace {

void put16(QByteArray &bytes, int at, std::uint16_t v)
{
    qToLittleEndian(v, bytes.data() + at);
}

void put32(QByteArray &bytes, int at, std::uint32_t v)
{
    qToLittleEndian(v, bytes.data() + at);
}

// A file with a 40-byte info header; `extra` (masks, palette) sits between the header and the pixels.
QByteArray bmpFile(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                   const QByteArray &extra, const QByteArray &pixels, std::uint32_t coloursUsed = 0)
{
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, std::uint32_t(54 + extra.size() + pixels.size()));
    put32(bytes, 10, std::uint32_t(54 + extra.size()));
    put32(bytes, 14, 40);
    put32(bytes, 18, std::uint32_t(width));
    put32(bytes, 22, std::uint32_t(height));
    put16(bytes, 26, 1);
    put16(bytes, 28, std::uint16_t(bits));
    put32(bytes, 30, compression);
    put32(bytes, 46, coloursUsed);
    return bytes + extra + pixels;
}

// A picture whose every byte differs from its neighbours, padding excluded.
Bitmap pattern(int width, int height, int bits)
{
    Bitmap bitmap(width, height, bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width * bits / 8; ++x)
            bitmap.row(y)[x] = std::uint8_t(x * 7 + y * 13 + 1);
    }
    if (bits == 8) {
        for (int i = 0; i < 256; ++i)
            bitmap.palette.push_back(qRgb(i, 255 - i, i / 2));
    }
    return bitmap;
}

void expectSamePixels(const Bitmap &actual, const Bitmap &expected)
{
    ASSERT_EQ(actual.width(), expected.width());
    ASSERT_EQ(actual.height(), expected.height());
    ASSERT_EQ(actual.bitsPerPixel(), expected.bitsPerPixel());
    EXPECT_EQ(actual.palette, expected.palette);
    const std::size_t rowBytes = std::size_t(expected.width() * expected.bitsPerPixel() / 8);
    for (int y = 0; y < expected.height(); ++y)
        ASSERT_EQ(std::memcmp(actual.row(y), expected.row(y), rowBytes), 0) << "row " << y;
}

std::string errorOf(const QByteArray &bytes)
{
    try {
        decodeBmp(bytes);
    } catch (const ParseError &error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(BmpReader, ReadsWhatTheWriterWrites)
{
    for (const int bits : {8, 24, 32}) {
        SCOPED_TRACE(bits);
        const Bitmap original = pattern(7, 5, bits); // odd width: every row is padded
        expectSamePixels(decodeBmp(encodeBmp(original)), original);
    }
}

TEST(BmpReader, TopDownRowsReadLikeBottomUpOnes)
{
    const Bitmap original = pattern(5, 4, 24);
    const QByteArray bottomUp = encodeBmp(original);
    QByteArray topDown = bottomUp;
    put32(topDown, 22, std::uint32_t(-4));
    const int stride = original.stride();
    for (int y = 0; y < 4; ++y)
        std::memcpy(topDown.data() + 54 + y * stride, original.row(y), std::size_t(stride));
    expectSamePixels(decodeBmp(topDown), original);
    expectSamePixels(decodeBmp(bottomUp), original);
}

TEST(BmpReader, RejectsDamagedAbsurdAndUnsupportedFiles)
{
    const QByteArray valid = encodeBmp(pattern(7, 5, 24));
    auto patched = [&](int at, std::uint32_t v, int bytes = 4) {
        QByteArray b = valid;
        bytes == 4 ? put32(b, at, v) : put16(b, at, std::uint16_t(v));
        return b;
    };
    const QByteArray tiny32(64, '\0');
    struct Case {
        const char *what;
        QByteArray bytes;
        const char *error;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "file too short"},
        {"cut in the info header", valid.left(30), "truncated header"},
        {"cut in the last row", valid.left(valid.size() - 4), "truncated pixel data"},
        {"no BM", patched(0, 0x4142, 2), "not a BMP file"},
        {"header size 66", patched(14, 66), "unsupported info header size 66"},
        {"3000000 x 2000000", bmpFile(3000000, 2000000, 24, 0, {}, tiny32), "3000000 x 2000000 is too large"},
        {"width * bits overflows 32 bits", bmpFile(0x40000000, 1, 32, 0, {}, tiny32), "is too large"},
        {"65535 x 1024 in a tiny file", bmpFile(65535, 1024, 32, 0, {}, tiny32), "truncated pixel data"},
        {"zero width", patched(18, 0), "invalid picture size 0 x 5"},
        {"2 bits", patched(28, 2, 2), "2 bits per pixel are not supported"},
        {"JPEG", patched(30, 4), "JPEG"},
        {"RLE8 at 24 bits", patched(30, 1), "RLE8 compression needs 8 bits per pixel"},
        {"top-down RLE", bmpFile(4, -2, 8, 1, {}, QByteArray("\0\1", 2)), "cannot be top-down"},
        {"mask with a hole", bmpFile(1, 1, 32, 3, QByteArray("\x0F\x0F\0\0\0\xFF\0\0\0\0\xFF\0", 12), tiny32),
         "not contiguous"},
        {"pixel offset past the end", patched(10, 100000), "pixel data offset 100000 is out of range"},
        {"RLE8 without its end", bmpFile(4, 2, 8, 1, {}, QByteArray("\2\1\0", 3)), "truncated RLE data"},
    };
    for (const Case &c : cases)
        EXPECT_NE(errorOf(c.bytes).find(c.error), std::string::npos) << c.what << ": " << errorOf(c.bytes);
}

TEST(BmpReader, RleRunsPastTheEdgesAreClipped)
{
    // 4 x 3. Bottom line: a run of 200, then an absolute run of 5 that starts
    // past the edge; middle line: an absolute run of 5 from x 1; then a delta far above the top.
    const QByteArray rle("\xC8\x07\0\x05\1\2\3\4\5\0"
                         "\0\0"
                         "\1\x09\0\x05\1\2\3\4\5\0"
                         "\0\2\0\xFF"
                         "\2\x08\0\1",
                         30);
    const Bitmap bitmap = decodeBmp(bmpFile(4, 3, 8, 1, {}, rle));
    const std::uint8_t expected[3][4] = {{0, 0, 0, 0}, {9, 1, 2, 3}, {7, 7, 7, 7}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bitmap.row(y)[x], expected[y][x]) << x << "," << y;
    }
}

TEST(BmpReader, IndexBeyondThePaletteIsBlack)
{
    const QByteArray palette("\x10\x20\x30\0\x40\x50\x60\0", 8);
    const Bitmap bitmap = decodeBmp(bmpFile(3, 1, 8, 0, palette, QByteArray("\1\5\xFF\0", 4), 2));
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0x60, 0x50, 0x40));
    EXPECT_EQ(bitmap.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(bitmap.pixel(2, 0), qRgb(0, 0, 0));
}

TEST(BmpReader, MutatedFilesNeverCrash)
{
    const QByteArray palette16(16 * 4, '\x55');
    const QByteArray masks565("\0\xF8\0\0\xE0\x07\0\0\x1F\0\0\0", 12);
    const QByteArray seeds[] = {
        encodeBmp(pattern(9, 6, 8)),
        bmpFile(9, 6, 1, 0, QByteArray(8, '\x77'), QByteArray(24, '\x5A')),
        bmpFile(9, 6, 4, 2, palette16, QByteArray("\x05\x12\0\x04\x34\x56\0\0\0\2\3\1\x09\x77\0\0\0\1", 18)),
        bmpFile(9, 6, 8, 1, palette16, QByteArray("\x05\x12\0\x03\x34\x56\x78\0\0\2\3\1\x09\x77\0\0\0\1", 18)),
        bmpFile(9, 6, 16, 3, masks565, QByteArray(6 * 20, '\x3C')),
    };
    std::mt19937 random(20240601);
    for (const QByteArray &seed : seeds) {
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes = seed;
            const int changes = 1 + int(random() % 4);
            for (int i = 0; i < changes; ++i)
                bytes[int(random() % std::uint32_t(bytes.size()))] = char(random());
            if (round % 5 == 0)
                bytes.truncate(int(random() % std::uint32_t(bytes.size())));
            try {
                const Bitmap bitmap = decodeBmp(bytes);
                for (int y = 0; y < bitmap.height(); ++y)
                    for (int x = 0; x < bitmap.width(); ++x)
                        bitmap.pixel(x, y);
            } catch (const ParseError &) {
            }
        }
    }
}
