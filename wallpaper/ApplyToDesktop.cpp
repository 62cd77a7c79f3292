#include "wallpaper/ApplyToDesktop.h"

#include "pictures/PictureConversion.h"
#include "pictures/BmpReader.h"
#include "pictures/JpegCodec.h"
#include "formats/LineFile.h"
#include "formats/ParseError.h"
#include "platform/ProgramFolder.h"
#include "desktop/WallpaperSetter.h"
#include "wallpaper/WeekPicture.h"
#include "pictures/Blend.h"

#include <QFileInfo>

namespace tavi {
namespace {

// A picture slot loads a file by its extension: a BMP gives a picture the
// blend can use, another picture format an empty picture.
Bitmap loadSlot(const QString &path)
{
    const QString extension = fileExtension(path).toLower();
    if (extension == QLatin1String(".bmp"))
        return readBmp(path);
    if (extension == QLatin1String(".jpg") || extension == QLatin1String(".jpeg") || extension == QLatin1String(".gif"))
        return Bitmap();
    throw ParseError("no picture format: " + path.toStdString());
}

} // namespace

QString setWallpaperOrThrow(WallpaperSetter &setter, const QString &path)
{
    const WallpaperResult result = setter.set(path);
    if (!result.ok)
        throw WallpaperNotSet(result.reason.toStdString(), path);
    return result.method;
}

ApplyResult applyToDesktop(TDeskBGSetFrm &deskBG, TMixPicFrm &mix, const std::vector<TPicBGList> &list,
                           int &bgPicIndex)
{
    deskBG.CreateWeekConPic();

    if (bgPicIndex < 0 || std::size_t(bgPicIndex) >= list.size())
        throw std::out_of_range("no background at index " + std::to_string(bgPicIndex));
    // Found without regard to case, as every other path: "sea.bmp" in the list finds Sea.bmp.
    deskBG.BackgroundPath = resolveFileName(deskBG.SourceFolder, list[std::size_t(bgPicIndex)].FileName);
    if (!QFileInfo::exists(deskBG.BackgroundPath)) {
        // The next click tries the next entry (entry 0 is only ever retried).
        if (bgPicIndex != 0 && ++bgPicIndex >= int(list.size()))
            bgPicIndex = 1;
        throw FileError("background missing: " + deskBG.BackgroundPath.toStdString());
    }

    deskBG.ContentPath = deskBG.SourceFolder + QStringLiteral("Content.bmp");
    mix.img1 = loadSlot(deskBG.ContentPath);
    mix.img2 = loadSlot(deskBG.BackgroundPath);
    // The slots are emptied next: the result moves into imgmix rather than being copied.
    mix.imgmix = std::move(MixPic(*mix.img1, *mix.img2, 30, 50));
    mix.JvXPButton1Click();

    const QString mixJpg = resolvePath(deskBG.SourceFolder, QStringLiteral("Mix.Jpg"));
    // Encoded straight from the blend: a first Mix.bmp of the blend, read back
    // for the JPEG, gave the same pixels and was replaced a moment later.
    writeFileAtomically(mixJpg, encodeJpeg(*mix.imgmix, 90));
    const QString wallpaper = JpgToBmp(mixJpg);

    ApplyResult result{deskBG.BackgroundPath, wallpaper, deskBG.SetDeskBG(wallpaper)};
    if (--bgPicIndex <= 0)
        bgPicIndex = int(list.size()) - 1;
    return result;
}

} // namespace tavi
