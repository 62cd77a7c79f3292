#pragma once

#include "notes/DayNote.h"
#include "pictures/Bitmap.h"

#include <QColor>

namespace tavi {

// The two colours of the user's colour scheme that the picture uses: the
// pen is the window background (white: the grid does not show on the white
// page), the text is the window text.
struct ContentColours {
    QColor windowBackground = Qt::white;
    QColor windowText = Qt::black;
};

constexpr int kContentWidth = 650;
constexpr int kContentHeight = 450;

// Draws the week (Monday first) into a 650 x 450 picture of three columns
// and two rows under weekday headings, in 宋体 at 13 pixels without
// antialiasing. Text wraps at word boundaries, "&" marks the next character
// (underlined; "&&" draws one "&"), and each cell clips its text. The
// picture has 24 bits per pixel.
Bitmap drawWeekPicture(const WeekTexts &week, const ContentColours &colours = {});

} // namespace tavi
