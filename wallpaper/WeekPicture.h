#pragma once

#include "pictures/Bitmap.h"

#include <QColor>
#include <QString>

#include <functional>
#include <vector>

namespace tavi {

// The text of one day box as the content picture draws it. SubText is drawn
// on a line after MainText; nothing fills it.
struct TWeekCon {
    QString MainText;
    QString SubText;
};

// The two colours of the user's colour scheme that the picture uses: the
// pen is the window background (white: the grid does not show on the white
// page), the text is the window text.
struct ContentColours {
    QColor windowBackground = Qt::white;
    QColor windowText = Qt::black;
};

constexpr int kContentWidth = 650;
constexpr int kContentHeight = 450;

// Draws the week (entries 0..5, Monday first) into a 650 x 450 picture of
// three columns and two rows under weekday headings, in 宋体 at 13 pixels
// without antialiasing. Text wraps at word boundaries, "&" marks the next
// character (underlined; "&&" draws one "&"), and each cell clips its text.
// The picture has 24 bits per pixel.
Bitmap drawWeekContent(const std::vector<TWeekCon> &week, const ContentColours &colours = {});

// The content picture's state and drawing. Created once at start-up.
class TDeskBGSetFrm {
public:
    explicit TDeskBGSetFrm(const QString &programFolder);

    // Heading of day 1..6: "星期一" .. "星期六"; the empty text otherwise.
    QString GetWeekDayName(int day) const;
    // Makes the picture at path the desktop wallpaper, stretched, and gives
    // the way that worked. Throws WallpaperNotSet when none did.
    QString SetDeskBG(const QString &path);

    // Draws WeekConList and saves it as SourceFolder + "Content.bmp". Any
    // failure (a missing folder, a file that cannot be written) is thrown to
    // the caller; an older Content.bmp then stays as it was.
    void CreateWeekConPic();

    // The picture folder, ending with '/': backgrounds and generated pictures.
    QString SourceFolder;
    QString BackgroundPath;
    QString ContentPath;
    std::vector<TWeekCon> WeekConList;
    ContentColours colours;
    // The desktop's wallpaper setter, injected (tests record what it is given):
    // returns the way that worked, throws WallpaperNotSet when none did.
    std::function<QString(const QString &path)> setWallpaper;
};

} // namespace tavi
