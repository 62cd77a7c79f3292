#include "pictures/Bitmap.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tavi;

TEST(Bitmap, ConvertsTo32BitsWithAZeroFourthByte)
{
    Bitmap palette(3, 2, 8);
    palette.palette = {qRgb(10, 20, 30), qRgba(40, 50, 60, 0)};
    palette.row(0)[0] = 0;
    palette.row(0)[1] = 1;
    palette.row(0)[2] = 200; // beyond the palette: black
    palette.row(1)[2] = 1;
    palette.convertTo32();
    ASSERT_EQ(palette.bitsPerPixel(), 32);
    const std::uint8_t expected[12] = {30, 20, 10, 0, 60, 50, 40, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(expected, expected + 12, palette.row(0)));
    EXPECT_EQ(palette.pixel(2, 1), qRgb(40, 50, 60));

    Bitmap rgb(5, 1, 24); // odd width: the row is padded
    for (int i = 0; i < 15; ++i)
        rgb.row(0)[i] = std::uint8_t(i + 1);
    rgb.convertTo32();
    const std::uint8_t expected24[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_TRUE(std::equal(expected24, expected24 + 8, rgb.row(0)));
    EXPECT_EQ(rgb.pixel(4, 0), qRgb(15, 14, 13));
}

TEST(Bitmap, RefusesOddDepthsAndHugeSizes)
{
    EXPECT_THROW(Bitmap(1, 1, 16), std::invalid_argument);
    EXPECT_THROW(Bitmap(-1, 1, 32), std::invalid_argument);
    EXPECT_THROW(Bitmap(100000, 100000, 32), std::invalid_argument);
    EXPECT_EQ(Bitmap::strideFor(5, 24), 16);
    EXPECT_EQ(Bitmap::strideFor(3, 8), 4);
}
