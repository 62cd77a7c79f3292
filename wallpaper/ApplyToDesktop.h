#pragma once

#include "notes/DayNote.h"
#include "wallpaper/WeekPicture.h"

#include <QString>

#include <functional>
#include <stdexcept>

namespace tavi {

struct BackgroundList;
class WallpaperSetter;

// No way to set the wallpaper worked on this desktop; the finished picture lies at picturePath.
class WallpaperNotSet : public std::runtime_error {
public:
    WallpaperNotSet(const std::string &reason, QString picturePath)
        : std::runtime_error(reason), picturePath(std::move(picturePath))
    {
    }
    QString picturePath;
};

// Makes the picture at path the desktop wallpaper, stretched, and gives the
// way that worked; throws WallpaperNotSet when none did.
using SetWallpaper = std::function<QString(const QString &path)>;

// The desktop's own setter as a SetWallpaper.
SetWallpaper wallpaperThrough(WallpaperSetter &setter);

// What the week's wallpaper was made from and how it was set.
struct ApplyResult {
    QString background; // the picture the notes were laid on
    QString wallpaper;  // the file the desktop shows (Mix.bmp)
    QString method;     // the setter that worked
};

// The week as the desktop wallpaper. Draws the week into pictureFolder's
// Content.bmp, takes the background at backgrounds.index from the folder,
// lays the week over it (30 rows down, 50 percent), writes the result as
// Mix.Jpg and that JPEG decoded as Mix.bmp, and makes Mix.bmp the wallpaper.
// The index moves down only when the wallpaper was set; a missing background
// moves it up instead and ends the apply. Throws on every failure
// (std::exception; WallpaperNotSet when no setter worked); the files written
// by then stay.
ApplyResult applyWeekToDesktop(const WeekTexts &week, BackgroundList &backgrounds, const QString &pictureFolder,
                               const SetWallpaper &setWallpaper, const ContentColours &colours = {});

} // namespace tavi
