// The whole apply to the desktop, from drawing the week's content picture to
// the finished Mix.bmp (everything applyToDesktop does except the wallpaper
// setter), on a full-HD and a 4K BMP background, against its floor: the I/O
// no version of the pipeline can avoid. That is reading the background BMP,
// encoding the blended picture as a quality-90 JPEG and writing Mix.Jpg,
// decoding it again and writing Mix.bmp, with the program's own codecs and
// its atomic, flushed file writes.
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
    tavi::TDeskBGSetFrm deskBG;
    tavi::TMixPicFrm mix;
    std::vector<tavi::TPicBGList> list{{0, QStringLiteral("BG.bmp")}, {1, QStringLiteral("BG.bmp")}};
    int index = 1;

    ProgramFolderWithBackground(int width, int height)
        : pictures(makePictureFolder(dir)), deskBG(dir.path() + u'/')
    {
        tavi::writeBmp(pictures + QStringLiteral("BG.bmp"), tavi::bench::photoLikePicture(width, height));
        deskBG.WeekConList = tavi::bench::contentWeek();
        deskBG.setWallpaper = [](const QString &) { return QStringLiteral("none"); };
    }

    static QString makePictureFolder(const QTemporaryDir &dir)
    {
        QDir(dir.path()).mkpath(QStringLiteral("source/DeskTopBG"));
        return dir.path() + QStringLiteral("/source/DeskTopBG/");
    }

    void apply() { tavi::applyToDesktop(deskBG, mix, list, index); }
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
    folder.apply(); // the same blended picture the pipeline encodes
    const tavi::Bitmap blended = *folder.mix.imgmix;
    const QString background = folder.pictures + QStringLiteral("BG.bmp");
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
