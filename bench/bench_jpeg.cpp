// Turning a full-HD photo into the background BMP (what picking a JPEG
// background costs), and the decode alone.
#include "backgrounds/uGlobal.h"
#include "platform/Bitmap.h"
#include "platform/JpegCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

// Smooth gradients with rings and a checked band: something like a photo's
// mix of flat areas and edges, so the entropy coder has real work.
QByteArray sampleJpeg()
{
    tavi::Bitmap picture(1920, 1080, 24);
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t *p = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, p += 3) {
            const double r = std::hypot(x - 960.0, y - 540.0);
            const bool band = y > 700 && y < 800 && ((x / 16 + y / 16) % 2 == 0);
            p[0] = std::uint8_t(band ? 30 : x * 255 / 1919);
            p[1] = std::uint8_t(band ? 220 : 128 + 127 * std::sin(r / 25.0));
            p[2] = std::uint8_t(band ? 30 : y * 255 / 1079);
        }
    }
    return tavi::encodeJpeg(picture, 90);
}

void BM_JpgToBmp(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("Sea.jpg"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly) || file.write(sampleJpeg()) < 0)
        std::abort();
    file.close();
    for (auto _ : state)
        benchmark::DoNotOptimize(tavi::JpgToBmp(source));
    state.counters["jpeg_bytes"] = double(file.size());
}
BENCHMARK(BM_JpgToBmp)->Unit(benchmark::kMillisecond);

void BM_DecodeJpeg(benchmark::State &state)
{
    const QByteArray jpeg = sampleJpeg();
    for (auto _ : state)
        benchmark::DoNotOptimize(tavi::decodeJpeg(jpeg));
    state.counters["jpeg_bytes"] = double(jpeg.size());
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

} // namespace
