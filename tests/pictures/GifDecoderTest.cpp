// How the first image of a GIF becomes the picture: placement on the logical
// screen, colour tables, interlacing, limits. The corpus conformance test
// (tests/backgrounds) covers real files; these build exactly the case each
// rule is about.

#include "pictures/GifDecoder.h"
#include "formats/ParseError.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using tavi::Bitmap;
using tavi::decodeGif;
using tavi::ParseError;

struct GifImage {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<QRgb> localTable;
    std::vector<std::uint8_t> pixels; // row by row, top row first (written as they are when not width x height)
};

void putWord(QByteArray &out, int value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

// Table flag, size bits and the padded table itself.
int tableBits(const std::vector<QRgb> &table)
{
    int bits = 1;
    while ((1u << bits) < table.size())
        ++bits;
    return bits;
}

void putTable(QByteArray &out, const std::vector<QRgb> &table)
{
    for (int i = 0; i < (1 << tableBits(table)); ++i) {
        const QRgb c = std::size_t(i) < table.size() ? table[std::size_t(i)] : 0;
        out += char(qRed(c));
        out += char(qGreen(c));
        out += char(qBlue(c));
    }
}

// LZW data that a decoder must read like any other: 9-bit codes, each pixel
// a literal, a clear code often enough that the code width never grows.
QByteArray lzw(const std::vector<std::uint8_t> &pixels)
{
    QByteArray bytes;
    std::uint32_t bitBuffer = 0;
    int bitCount = 0;
    const auto code = [&](int value) {
        bitBuffer |= std::uint32_t(value) << bitCount;
        for (bitCount += 9; bitCount >= 8; bitCount -= 8, bitBuffer >>= 8)
            bytes += char(bitBuffer & 0xFF);
    };
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i % 100 == 0)
            code(256);
        code(pixels[i]);
    }
    code(257);
    if (bitCount > 0)
        bytes += char(bitBuffer & 0xFF);
    QByteArray out(1, char(8));
    for (qsizetype at = 0; at < bytes.size(); at += 255) {
        const QByteArray block = bytes.mid(at, 255);
        out += char(block.size());
        out += block;
    }
    out += '\0';
    return out;
}

QByteArray gifFile(int screenWidth, int screenHeight, const std::vector<QRgb> &globalTable, int background,
                   const std::vector<GifImage> &images, const char *signature = "GIF89a")
{
    QByteArray out(signature);
    putWord(out, screenWidth);
    putWord(out, screenHeight);
    out += char(globalTable.empty() ? 0 : 0x80 | 0x70 | (tableBits(globalTable) - 1));
    out += char(background);
    out += '\0';
    if (!globalTable.empty())
        putTable(out, globalTable);
    out += "!\xFE\x05hello"; // a comment before the image
    out += '\0';
    for (const GifImage &image : images) {
        out += ',';
        putWord(out, image.left);
        putWord(out, image.top);
        putWord(out, image.width);
        putWord(out, image.height);
        out += char((image.localTable.empty() ? 0 : 0x80 | (tableBits(image.localTable) - 1))
                    | (image.interlaced ? 0x40 : 0));
        if (!image.localTable.empty())
            putTable(out, image.localTable);
        std::vector<std::uint8_t> stored;
        const auto storeRow = [&](int y) {
            stored.insert(stored.end(), image.pixels.begin() + y * image.width,
                          image.pixels.begin() + (y + 1) * image.width);
        };
        if (image.pixels.size() != std::size_t(image.width) * std::size_t(image.height)) {
            stored = image.pixels; // deliberately too short or too long
        } else if (image.interlaced) {
            for (const auto &[start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
                for (int y = start; y < image.height; y += step)
                    storeRow(y);
            }
        } else {
            for (int y = 0; y < image.height; ++y)
                storeRow(y);
        }
        out += lzw(stored);
    }
    out += ';';
    return out;
}

std::vector<std::uint8_t> counting(int count)
{
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < count; ++i)
        pixels.push_back(std::uint8_t(i % 4));
    return pixels;
}

// The picture as rows of colour letters: r g b w for the four test colours, ? otherwise.
std::vector<std::string> letters(const Bitmap &picture)
{
    std::vector<std::string> rows;
    for (int y = 0; y < picture.height(); ++y) {
        std::string row;
        for (int x = 0; x < picture.width(); ++x) {
            switch (picture.pixel(x, y) & 0xFFFFFF) {
            case 0xFF0000: row += 'r'; break;
            case 0x00FF00: row += 'g'; break;
            case 0x0000FF: row += 'b'; break;
            case 0xFFFFFF: row += 'w'; break;
            default: row += '?'; break;
            }
        }
        rows.push_back(row);
    }
    return rows;
}

const std::vector<QRgb> kRgbw{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
const std::vector<QRgb> kWbgr{qRgb(255, 255, 255), qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(255, 0, 0)};

struct PlacementCase {
    const char *name;
    int screenWidth, screenHeight, background;
    GifImage image;
    std::vector<std::string> expected;
};

class GifPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(GifPlacement, DrawsTheFirstImage)
{
    const PlacementCase &c = GetParam();
    const std::vector<std::uint8_t> white(std::size_t(c.screenWidth * c.screenHeight), 3);
    const GifImage second{0, 0, c.screenWidth, c.screenHeight, false, {}, white};
    const Bitmap picture = decodeGif(gifFile(c.screenWidth, c.screenHeight, kRgbw, c.background, {c.image, second}));
    EXPECT_EQ(picture.bitsPerPixel(), 8);
    EXPECT_EQ(letters(picture), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Screen, GifPlacement,
    testing::Values(
        PlacementCase{"ScreenSizedImageIgnoresItsOffset", 3, 2, 3, {5, 7, 3, 2, false, {}, counting(6)}, {"rgb", "wrg"}},
        PlacementCase{"SmallerImageOnBackground", 4, 3, 2, {1, 1, 2, 1, false, {}, counting(2)},
                      {"bbbb", "brgb", "bbbb"}},
        PlacementCase{"ClippedAtTheScreenEdge", 3, 3, 3, {1, 2, 3, 2, false, {}, counting(6)},
                      {"www", "www", "wrg"}},
        PlacementCase{"LargerImageClipped", 2, 2, 0, {0, 0, 3, 3, false, {}, counting(9)}, {"rg", "wr"}},
        PlacementCase{"OutsideTheScreen", 2, 1, 1, {9, 9, 1, 1, false, {}, counting(1)}, {"gg"}},
        PlacementCase{"LocalTableForItsPixels", 2, 2, 0, {0, 0, 2, 2, false, kWbgr, counting(4)}, {"wb", "gr"}},
        // The background colour red is entry 3 of the local table.
        PlacementCase{"LocalTableAndBackground", 3, 1, 0, {0, 0, 1, 1, false, kWbgr, {0}}, {"wrr"}},
        PlacementCase{"Interlaced", 1, 10, 0, {0, 0, 1, 10, true, {}, counting(10)},
                      {"r", "g", "b", "w", "r", "g", "b", "w", "r", "g"}},
        PlacementCase{"BackgroundBeyondTheTable", 2, 1, 200, {1, 0, 1, 1, false, {}, {3}}, {"rw"}}),
    [](const testing::TestParamInfo<PlacementCase> &info) { return std::string(info.param.name); });

TEST(GifDecoder, AcceptsOnlyTheTwoKnownSignatures)
{
    const std::vector<std::uint8_t> pixel{1};
    for (const char *signature : {"GIF87a", "GIF89a"})
        EXPECT_EQ(letters(decodeGif(gifFile(1, 1, kRgbw, 0, {{0, 0, 1, 1, false, {}, pixel}}, signature))),
                  std::vector<std::string>{"g"})
            << signature;
    for (const char *signature : {"GIF88a", "GIF89b", "gif89a", "GIF8"})
        EXPECT_THROW(decodeGif(gifFile(1, 1, kRgbw, 0, {{0, 0, 1, 1, false, {}, pixel}}, signature)), ParseError)
            << signature;
    EXPECT_THROW(decodeGif(QByteArray()), ParseError);
}

TEST(GifDecoder, RefusesFilesWithoutAPicture)
{
    EXPECT_THROW(decodeGif(gifFile(4, 4, kRgbw, 0, {})), ParseError);                                   // no image
    EXPECT_THROW(decodeGif(gifFile(0, 0, kRgbw, 0, {{0, 0, 0, 0, false, {}, {}}})), ParseError);         // no pixels
    const QByteArray whole = gifFile(2, 1, kRgbw, 0, {{0, 0, 2, 1, false, {}, counting(2)}});
    EXPECT_THROW(decodeGif(whole.left(whole.indexOf(',') + 4)), ParseError); // cut in the image descriptor
}

TEST(GifDecoder, ScreenWithoutPixelsTakesTheImageSize)
{
    EXPECT_EQ(letters(decodeGif(gifFile(0, 0, kRgbw, 0, {{3, 3, 2, 1, false, {}, counting(2)}}))),
              std::vector<std::string>{"rg"});
}

TEST(GifDecoder, WithoutColourTablesIndicesAreGreys)
{
    const Bitmap picture = decodeGif(gifFile(2, 1, {}, 0, {{0, 0, 2, 1, false, {}, {0, 255}}}));
    EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(picture.pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(GifDecoder, KeepsTheRowsBeforeTruncatedData)
{
    const std::vector<std::uint8_t> green(2000, 1);
    const QByteArray whole = gifFile(100, 20, kRgbw, 3, {{0, 0, 100, 20, false, {}, green}});
    const Bitmap picture = decodeGif(whole.left(whole.size() / 2));
    ASSERT_EQ(picture.height(), 20);
    EXPECT_EQ(letters(picture).front(), std::string(100, 'g'));
    EXPECT_EQ(letters(picture).back(), std::string(100, 'w')); // never decoded: background
}

TEST(GifDecoder, RefusesHugeSizesWithoutAllocating)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(decodeGif(gifFile(65535, 65535, kRgbw, 0, {{0, 0, 1, 1, false, {}, {0}}})), ParseError);
    EXPECT_THROW(decodeGif(gifFile(1, 1, kRgbw, 0, {{0, 0, 65535, 65535, false, {}, {0}}})), ParseError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

} // namespace
