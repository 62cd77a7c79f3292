// Turning a full-HD photo into the background BMP (what picking a JPEG
// background costs), and the decode alone.
#include "pictures/PictureConversion.h"
#include "bench/WeekSample.h"
#include "pictures/Bitmap.h"
#include "pictures/JpegCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

QByteArray sampleJpeg()
{
    const tavi::Bitmap picture = tavi::bench::photoLikePicture(1920, 1080);
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
        benchmark::DoNotOptimize(tavi::jpegToBmp(source));
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
