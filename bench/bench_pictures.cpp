// Writes the apply benchmark's pictures into a folder, for other tools to do
// the same work on: BG-1920x1080.bmp, BG-3840x2160.bmp (24 bits) and
// Content.bmp (the week's content picture, as the program draws it).
#include "bench/WeekSample.h"
#include "platform/FontSetup.h"
#include "wallpaper/WeekPicture.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_pictures FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    tavi::useProgramFonts(QStringLiteral(TAVI_BENCH_PROGRAM_DIR));
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    try {
        for (const auto &[width, height] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
            tavi::writeBmp(folder.filePath(QStringLiteral("BG-%1x%2.bmp").arg(width).arg(height)),
                           tavi::bench::photoLikePicture(width, height));
        tavi::writeBmp(folder.filePath(QStringLiteral("Content.bmp")),
                       tavi::drawWeekPicture(tavi::bench::contentWeek()));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "bench_pictures: %s\n", error.what());
        return 1;
    }
    return 0;
}
