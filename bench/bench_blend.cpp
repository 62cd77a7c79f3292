// The blend of the week's 650 x 450 content picture onto full-HD and 4K
// backgrounds, as every apply to the desktop does it, and the drawing of the
// content picture itself.
#include "bench/WeekSample.h"
#include "wallpaper/WeekPicture.h"
#include "pictures/Blend.h"

#include <benchmark/benchmark.h>

namespace {

// A background with some structure: a gradient, 24 bits like most BMP photos.
tavi::Bitmap background(int width, int height)
{
    tavi::Bitmap picture(width, height, 24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *p = picture.row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = std::uint8_t(x * 255 / width);
            p[1] = std::uint8_t(y * 255 / height);
            p[2] = std::uint8_t((x + y) & 0xFF);
        }
    }
    return picture;
}

void BM_DrawContentPicture(benchmark::State &state)
{
    const auto week = tavi::bench::contentWeek();
    for (auto _ : state)
        benchmark::DoNotOptimize(tavi::drawWeekPicture(week));
}
BENCHMARK(BM_DrawContentPicture)->Unit(benchmark::kMicrosecond);

void BM_Blend(benchmark::State &state)
{
    tavi::Bitmap content = tavi::drawWeekPicture(tavi::bench::contentWeek());
    tavi::Bitmap base = background(int(state.range(0)), int(state.range(1)));
    base.convertTo32();
    content.convertTo32();
    for (auto _ : state)
        benchmark::DoNotOptimize(&tavi::blend(content, base, 30, 50));
}
BENCHMARK(BM_Blend)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

// The blend as an apply meets it: a fresh 24-bit background converted first.
void BM_ConvertAndBlend(benchmark::State &state)
{
    const tavi::Bitmap content24 = tavi::drawWeekPicture(tavi::bench::contentWeek());
    const tavi::Bitmap background24 = background(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        tavi::Bitmap content = content24;
        tavi::Bitmap base = background24;
        benchmark::DoNotOptimize(&tavi::blend(content, base, 30, 50));
    }
}
BENCHMARK(BM_ConvertAndBlend)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

} // namespace
