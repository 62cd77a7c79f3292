// The whole apply to the desktop, from drawing the week's content picture to
// the finished Mix.bmp (everything applyWeekToDesktop does except the wallpaper
// setter), on a full-HD and a 4K BMP background, against its floor: the I/O
// no version of the pipeline can avoid. That is reading the background BMP,
// encoding the blended picture as a quality-90 JPEG and writing Mix.Jpg,
// decoding it again and writing Mix.bmp, with the program's own codecs and
// its atomic, flushed file writes.
#include "backgrounds/BackgroundList.h"
#include "bench/WeekSample.h"
#include "pictures/BmpReader.h"
#include "pictures/JpegCodec.h"
#include "formats/LineFile.h"
#include "wallpaper/ApplyToDesktop.h"
#include "wallpaper/WeekPicture.h"
#include "pictures/Blend.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct ProgramFolderWithBackground {
    QTemporaryDir dir;
    QString pictures;
    tavi::BackgroundList list{QStringLiteral("BG.bmp"), {QStringLiteral("BG.bmp"), QStringLiteral("BG.bmp")}, 1, 2};
    const tavi::WeekTexts week = tavi::bench::contentWeek();

    ProgramFolderWithBackground(int width, int height) : pictures(makePictureFolder(dir))
    {
        tavi::writeBmp(pictures + QStringLiteral("BG.bmp"), tavi::bench::photoLikePicture(width, height));
    }

    static QString makePictureFolder(const QTemporaryDir &dir)
    {
        QDir(dir.path()).mkpath(QStringLiteral("source/DeskTopBG"));
        return dir.path() + QStringLiteral("/source/DeskTopBG/");
    }

    void apply()
    {
        tavi::applyWeekToDesktop(week, list, pictures,
                                 [](const QString &) { return QStringLiteral("none"); });
    }
};

void BM_ApplyPipeline(benchmark::State &state)
{
    ProgramFolderWithBackground folder(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        folder.apply();
}
BENCHMARK(BM_ApplyPipeline)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyFloor(benchmark::State &state)
{
    ProgramFolderWithBackground folder(int(state.range(0)), int(state.range(1)));
    const QString background = folder.pictures + QStringLiteral("BG.bmp");
    // The same blended picture the pipeline encodes.
    tavi::Bitmap content = tavi::drawWeekPicture(tavi::bench::contentWeek());
    tavi::Bitmap picture = tavi::readBmp(background);
    const tavi::Bitmap blended = tavi::blend(content, picture, 30, 50);
    const QString jpegPath = folder.pictures + QStringLiteral("Mix.Jpg");
    const QString bmpPath = folder.pictures + QStringLiteral("Mix.bmp");
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavi::readBmp(background));
        const QByteArray jpeg = tavi::encodeJpeg(blended, 90);
        tavi::writeFileAtomically(jpegPath, jpeg);
        tavi::writeBmp(bmpPath, tavi::decodeJpeg(jpeg));
    }
}
BENCHMARK(BM_ApplyFloor)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
