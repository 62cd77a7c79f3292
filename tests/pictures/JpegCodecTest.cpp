// The JPEG encoder's output read back by the decoder, and how the decoder
// treats damaged and absurd files. Real files: the corpus conformance test
// (tests/backgrounds).

#include "pictures/JpegCodec.h"
#include "formats/ParseError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

using tavi::Bitmap;
using tavi::decodeJpeg;
using tavi::encodeJpeg;
using tavi::ParseError;

// Gentle gradients (what JPEG keeps well) at the given depth.
Bitmap gradient(int width, int height, int bitsPerPixel)
{
    Bitmap picture(width, height, bitsPerPixel);
    if (bitsPerPixel == 8) {
        for (int i = 0; i < 256; ++i)
            picture.palette.push_back(qRgb(i, 255 - i, i / 2));
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t *p = picture.row(y);
        for (int x = 0; x < width; ++x) {
            if (bitsPerPixel == 8) {
                p[x] = std::uint8_t((x + y) * 255 / (width + height));
                continue;
            }
            std::uint8_t *pixel = p + x * bitsPerPixel / 8;
            pixel[0] = std::uint8_t(x * 255 / width);
            pixel[1] = std::uint8_t(y * 255 / height);
            pixel[2] = std::uint8_t(128 + (x - y) / 4);
        }
    }
    return picture;
}

int largestDifference(const Bitmap &a, const Bitmap &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

class JpegRoundTrip : public testing::TestWithParam<int> {};

TEST_P(JpegRoundTrip, DecodesToWhatWasEncoded)
{
    const Bitmap original = gradient(67, 45, GetParam()); // sizes that leave partial blocks
    const QByteArray jpeg = encodeJpeg(original);
    EXPECT_TRUE(jpeg.contains("\xFF\xC0")) << "not a baseline file";
    EXPECT_FALSE(jpeg.contains("\xFF\xC2")) << "progressive";
    const Bitmap decoded = decodeJpeg(jpeg);
    ASSERT_EQ(decoded.width(), original.width());
    ASSERT_EQ(decoded.height(), original.height());
    EXPECT_EQ(decoded.bitsPerPixel(), 24);
    EXPECT_LE(largestDifference(decoded, original), 12);
}

INSTANTIATE_TEST_SUITE_P(Depths, JpegRoundTrip, testing::Values(8, 24, 32));

TEST(JpegCodec, EncoderRefusesPicturesJpegCannotHold)
{
    EXPECT_THROW(encodeJpeg(Bitmap()), std::invalid_argument);
    EXPECT_THROW(encodeJpeg(Bitmap(65501, 1, 24)), std::invalid_argument);
    EXPECT_FALSE(encodeJpeg(gradient(8, 8, 24), 0).isEmpty()); // quality clamped, not refused
}

TEST(JpegCodec, DamagedFilesThrowWithLibjpegsMessage)
{
    const QByteArray good = encodeJpeg(gradient(16, 16, 24));
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"PNG", QByteArray("\x89PNG\r\n\x1a\n", 8)},
        {"start marker only", good.left(2)},
        {"cut in the headers", good.left(100)},
    };
    for (const auto &c : cases) {
        try {
            decodeJpeg(c.bytes);
            ADD_FAILURE() << c.what << " decoded";
        } catch (const ParseError &e) {
            EXPECT_EQ(std::string(e.what()).rfind("JPEG: ", 0), 0u) << e.what();
            EXPECT_GT(std::string(e.what()).size(), 6u) << c.what;
        }
    }
}

TEST(JpegCodec, TruncatedScanDataStillDecodes)
{
    const Bitmap original = gradient(64, 64, 24);
    const QByteArray jpeg = encodeJpeg(original);
    const Bitmap decoded = decodeJpeg(jpeg.left(jpeg.size() * 3 / 4));
    ASSERT_EQ(decoded.height(), 64);
    EXPECT_LE(std::abs(qRed(decoded.pixel(3, 3)) - qRed(original.pixel(3, 3))), 12);
}

TEST(JpegCodec, RefusesHugePicturesBeforeAllocating)
{
    QByteArray jpeg = encodeJpeg(gradient(8, 8, 24));
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    ASSERT_GE(sof, 0);
    // 9000 x 9000: within JPEG's limits, beyond the picture limit.
    jpeg[sof + 5] = char(9000 >> 8);
    jpeg[sof + 6] = char(9000 & 0xFF);
    jpeg[sof + 7] = char(9000 >> 8);
    jpeg[sof + 8] = char(9000 & 0xFF);
    const auto start = std::chrono::steady_clock::now();
    try {
        decodeJpeg(jpeg);
        ADD_FAILURE() << "decoded";
    } catch (const ParseError &e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

} // namespace
