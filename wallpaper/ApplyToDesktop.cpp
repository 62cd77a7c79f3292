#include "wallpaper/ApplyToDesktop.h"

#include "backgrounds/BackgroundList.h"
#include "desktop/WallpaperSetter.h"
#include "formats/LineFile.h"
#include "formats/ParseError.h"
#include "pictures/Blend.h"
#include "pictures/BmpReader.h"
#include "pictures/JpegCodec.h"
#include "pictures/PictureConversion.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>

namespace tavi {
namespace {

// A background is loaded by its extension: a BMP gives a picture the blend
// can use, another picture format an empty picture.
Bitmap loadBackground(const QString &path)
{
    const QString extension = fileExtension(path).toLower();
    if (extension == QLatin1String(".bmp"))
        return readBmp(path);
    if (extension == QLatin1String(".jpg") || extension == QLatin1String(".jpeg") || extension == QLatin1String(".gif"))
        return Bitmap();
    throw ParseError("no picture format: " + path.toStdString());
}

} // namespace

SetWallpaper wallpaperThrough(WallpaperSetter &setter)
{
    return [&setter](const QString &path) {
        const WallpaperResult result = setter.set(path);
        if (!result.ok)
            throw WallpaperNotSet(result.reason.toStdString(), path);
        return result.method;
    };
}

ApplyResult applyWeekToDesktop(const WeekTexts &week, BackgroundList &backgrounds, const QString &pictureFolder,
                               const SetWallpaper &setWallpaper, const ContentColours &colours)
{
    QString folder = pictureFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    Bitmap content = drawWeekPicture(week, colours);
    // Drawn completely before the file is touched: a failed write leaves the old picture.
    writeBmp(folder + QStringLiteral("Content.bmp"), content);

    const QStringList &list = backgrounds.entries;
    int &index = backgrounds.index;
    if (index < 0 || index >= list.size())
        throw std::out_of_range("no background at index " + std::to_string(index));
    // Found without regard to case, as every other path: "sea.bmp" in the list finds Sea.bmp.
    const QString background = resolveFileName(folder, list[index]);
    if (!QFileInfo::exists(background)) {
        // The next click tries the next entry (entry 0 is only ever retried).
        if (index != 0 && ++index >= int(list.size()))
            index = 1;
        throw FileError("background missing: " + background.toStdString());
    }
    Bitmap picture = loadBackground(background);
    const Bitmap &mixed = blend(content, picture, 30, 50);

    // The JPEG is encoded straight from the blend and decoded from memory for
    // Mix.bmp: nothing written here is read back.
    const QString mixJpg = resolvePath(folder, QStringLiteral("Mix.Jpg"));
    const QByteArray jpeg = encodeJpeg(mixed, 90);
    writeFileAtomically(mixJpg, jpeg);
    const QString wallpaper = bmpPathFor(mixJpg);
    writeBmp(wallpaper, decodeJpeg(jpeg));

    if (!setWallpaper)
        throw WallpaperNotSet("no wallpaper setter", wallpaper);
    ApplyResult result{background, wallpaper, setWallpaper(wallpaper)};
    if (--index <= 0)
        index = int(list.size()) - 1;
    return result;
}

} // namespace tavi
