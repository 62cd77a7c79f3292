#include "pictures/Blend.h"

#include <QSize>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

// A 32-bit picture filled with one pixel value (blue, green, red, fourth byte).
Bitmap filled(int width, int height, std::array<std::uint8_t, 4> bgrx)
{
    Bitmap picture(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::copy(bgrx.begin(), bgrx.end(), picture.row(y) + 4 * x);
    return picture;
}

std::array<std::uint8_t, 4> at(const Bitmap &picture, int x, int y)
{
    const std::uint8_t *p = picture.row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

using Pixel = std::array<std::uint8_t, 4>;
const Pixel kWhite{255, 255, 255, 0};

} // namespace

TEST(Blend, WeightedMixTruncatesTowardZeroOnAllFourBytes)
{
    struct Case {
        std::uint8_t base, overlay, weight, expected;
    };
    const Case cases[] = {
        {200, 0, 50, 100}, {201, 0, 50, 101}, {0, 255, 50, 127}, {255, 0, 50, 128},
        {10, 20, 0, 10},   {10, 20, 100, 20}, {100, 0, 33, 67},  {0, 100, 33, 33},
    };
    for (const Case &c : cases) {
        // Blue and the fourth byte carry the case; green and red keep the overlay from being white.
        Bitmap base = filled(100, 10, {c.base, 10, 10, c.base});
        Bitmap overlay = filled(50, 10, {c.overlay, 0, 0, c.overlay});
        blend(base, overlay, 30, c.weight);
        const Pixel mixed = at(base, 0, 0);
        EXPECT_EQ(mixed[0], c.expected) << int(c.base) << " under " << int(c.overlay) << " at " << int(c.weight);
        EXPECT_EQ(mixed[3], c.expected) << "fourth byte";
    }
}

TEST(Blend, OnlyPureWhiteIsTransparent)
{
    Bitmap base = filled(60, 1, {0, 0, 0, 0});
    Bitmap overlay(10, 1, 32);
    std::uint8_t *p = overlay.row(0);
    const Pixel nearlyWhite{255, 255, 254, 0};
    std::copy(kWhite.begin(), kWhite.end(), p);
    std::copy(nearlyWhite.begin(), nearlyWhite.end(), p + 4);
    const Pixel whiteWithFourthByte{255, 255, 255, 9};
    std::copy(whiteWithFourthByte.begin(), whiteWithFourthByte.end(), p + 8);
    blend(base, overlay, 0, 50);
    EXPECT_EQ(at(base, 0, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(at(base, 1, 0), (Pixel{127, 127, 127, 0}));
    EXPECT_EQ(at(base, 2, 0), (Pixel{0, 0, 0, 0}));

    Bitmap background = filled(1280, 768, {1, 2, 3, 0});
    Bitmap white = filled(650, 450, kWhite);
    const Bitmap before = background;
    blend(white, background, 30, 50);
    EXPECT_TRUE(std::equal(before.bits(), before.bits() + before.stride() * before.height(), background.bits()));
}

TEST(Blend, TheContentLandsFiftyPixelsFromTheRightAndThirtyRowsDown)
{
    struct Case {
        int width, height, column;
    };
    for (const Case c : {Case{1280, 768, 580}, Case{1024, 768, 324}, Case{700, 480, 0}}) {
        Bitmap content = filled(650, 450, {0, 0, 0, 0});
        Bitmap background = filled(c.width, c.height, {200, 200, 200, 0});
        Bitmap &result = blend(content, background, 30, 50);
        EXPECT_EQ(&result, &background);
        EXPECT_EQ(at(background, c.column, 30), (Pixel{100, 100, 100, 0})) << c.width;
        EXPECT_EQ(at(background, c.column + 649, 479), (Pixel{100, 100, 100, 0})) << c.width;
        EXPECT_EQ(at(background, c.column + 650, 30)[0], 200) << "right margin untouched";
        EXPECT_EQ(at(background, c.column, 29)[0], 200) << "rows above untouched";
        if (c.column > 0) {
            EXPECT_EQ(at(background, c.column - 1, 30)[0], 200);
        }
        if (c.height > 480) {
            EXPECT_EQ(at(background, c.column, 480)[0], 200);
        }
    }
}

TEST(Blend, ABackgroundNoTallerThanTheContentIsMixedIntoTheContent)
{
    Bitmap content = filled(650, 450, {0, 0, 0, 0});
    Bitmap background = filled(400, 300, {200, 200, 200, 0});
    Bitmap &result = blend(content, background, 30, 50);
    EXPECT_EQ(&result, &content);
    EXPECT_EQ(result.width(), 650);
    EXPECT_EQ(result.height(), 450);
    EXPECT_EQ(at(content, 200, 0), (Pixel{100, 100, 100, 0}));
    EXPECT_EQ(at(content, 599, 299), (Pixel{100, 100, 100, 0}));
    EXPECT_EQ(at(content, 199, 0)[0], 0);
    EXPECT_EQ(at(content, 600, 0)[0], 0);
    EXPECT_EQ(at(content, 200, 300)[0], 0);
}

TEST(Blend, PicturesThatDoNotFitFail)
{
    // Too few rows below the shift: the error names the first overlay row that does not fit.
    Bitmap content = filled(650, 450, {0, 0, 0, 0});
    Bitmap low = filled(700, 470, {200, 200, 200, 0});
    try {
        blend(content, low, 30, 50);
        ADD_FAILURE() << "no error";
    } catch (const BlendError &error) {
        EXPECT_NE(std::string(error.what()).find("overlay row 440"), std::string::npos) << error.what();
    }

    // A base not 50 pixels wider than the overlay fails before anything is mixed.
    for (const QSize size : {QSize(650, 450), QSize(699, 800), QSize(600, 800)}) {
        Bitmap picture = filled(650, 450, {0, 0, 0, 0});
        Bitmap background = filled(size.width(), size.height(), {200, 200, 200, 0});
        const Bitmap before = background;
        EXPECT_THROW(blend(picture, background, 30, 50), BlendError) << size.width() << "x" << size.height();
        EXPECT_TRUE(std::equal(before.bits(), before.bits() + before.stride() * before.height(), background.bits()));
    }
}

TEST(Blend, TwoPictures24BitsBlendAsTheir32BitCopiesWould)
{
    // Noise with white runs, in both row layouts (b taller and b shorter), odd widths for row padding.
    std::uint32_t seed = 12345;
    auto noise = [&](int width, int height) {
        Bitmap picture(width, height, 24);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width * 3; ++x) {
                seed = seed * 1103515245 + 12345;
                picture.row(y)[x] = (seed >> 16) % 3 == 0 ? 255 : std::uint8_t(seed >> 8);
            }
        return picture;
    };
    for (const bool contentFirst : {true, false}) {
        Bitmap small = noise(61, 37);
        Bitmap large = noise(133, 71);
        Bitmap small32 = small, large32 = large;
        small32.convertTo32();
        large32.convertTo32();
        Bitmap &mixed = contentFirst ? blend(small, large, 30, 50) : blend(large, small, 30, 50);
        const Bitmap &expected = contentFirst ? blend(small32, large32, 30, 50) : blend(large32, small32, 30, 50);
        ASSERT_EQ(mixed.bitsPerPixel(), 24);
        ASSERT_EQ(QSize(mixed.width(), mixed.height()), QSize(expected.width(), expected.height()));
        for (int y = 0; y < mixed.height(); ++y)
            for (int x = 0; x < mixed.width(); ++x)
                ASSERT_TRUE(std::equal(mixed.row(y) + 3 * x, mixed.row(y) + 3 * x + 3, expected.row(y) + 4 * x))
                    << x << "," << y << (contentFirst ? " content first" : " background first");
    }
}

TEST(Blend, AnEmptySecondPictureGivesTheFirstIn32Bits)
{
    Bitmap content(650, 450, 24);
    content.row(0)[0] = 7;
    Bitmap empty;
    Bitmap &result = blend(content, empty, 30, 50);
    EXPECT_EQ(&result, &content);
    EXPECT_EQ(content.bitsPerPixel(), 32);
    EXPECT_EQ(at(content, 0, 0), (Pixel{7, 0, 0, 0}));
}
