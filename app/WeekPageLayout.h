#pragma once

#include <QPoint>
#include <QRect>

#include <array>

namespace tavi {

// Where the week page's dividers, title strip, boxes and weekday labels go
// for a page of width x height lying at (left, top) inside its container.
// The arithmetic truncates toward zero, also for pages too small for it.
struct WeekPageGeometry {
    int yearLine1Left = 0;         // divider between Monday/Thursday and Tuesday/Friday
    int yearLine2Left = 0;         // divider before the right column
    int title2Top = 0;             // the lower title strip
    std::array<QRect, 6> boxes;    // redt1 .. redt6
    std::array<QPoint, 6> labels;  // lblweek1 .. lblweek5, lblweek67
};

constexpr int kTitleStripHeight = 25;
constexpr int kButtonLineHeight = 3;

WeekPageGeometry ArrangeWeekPage(int width, int height, int left, int top);

} // namespace tavi
