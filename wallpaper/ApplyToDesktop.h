#pragma once

#include "platform/ProgramState.h"

#include <QString>

#include <stdexcept>
#include <vector>

namespace tavi {

class TDeskBGSetFrm;
class TMixPicFrm;

// No way to set the wallpaper worked on this desktop; the finished picture lies at picturePath.
class WallpaperNotSet : public std::runtime_error {
public:
    WallpaperNotSet(const std::string &reason, QString picturePath)
        : std::runtime_error(reason), picturePath(std::move(picturePath))
    {
    }
    QString picturePath;
};

class WallpaperSetter;

// Sets the wallpaper through setter; the way that worked, or WallpaperNotSet with its reason.
QString setWallpaperOrThrow(WallpaperSetter &setter, const QString &path);

// What the week's wallpaper was made from and how it was set.
struct ApplyResult {
    QString background; // the picture the notes were laid on
    QString wallpaper;  // the file the desktop shows (Mix.bmp)
    QString method;     // the setter that worked
};

// Everything after the question: draws deskBG.WeekConList into Content.bmp,
// takes the background at bgPicIndex from the list, lays the content over it
// (30 rows down, 50 percent), passes the result through Mix.Jpg into Mix.bmp
// and makes that the wallpaper. bgPicIndex moves down only when the wallpaper
// was set; a missing background moves it up instead and ends the apply.
// Throws on every failure (std::exception; WallpaperNotSet when no setter
// worked); what was done by then stays done.
ApplyResult applyToDesktop(TDeskBGSetFrm &deskBG, TMixPicFrm &mix, const std::vector<TPicBGList> &list,
                           int &bgPicIndex);

} // namespace tavi
