#include "app/WeekPageLayout.h"

namespace tavi {

WeekPageGeometry ArrangeWeekPage(int width, int height, int left, int top)
{
    // Fixed members of the page: the left divider at 0, the upper title strip
    // at the top and the bottom bar along the bottom edge.
    constexpr int yearLine0Left = 0;
    constexpr int title1Top = 0;
    const int buttonLineTop = height - kButtonLineHeight;

    WeekPageGeometry g;
    g.yearLine1Left = (width - 4) / 3 + left + 1;
    g.yearLine2Left = 2 * ((width - 4) / 3) + left + 2;
    g.title2Top = top + 18 + (height - 50) / 2;

    const int column = (width - 5) / 3;
    const int lefts[3] = {yearLine0Left + 1, g.yearLine1Left + 1, g.yearLine2Left + 1};
    const int widths[3] = {column, column, column - 4};
    const int upperTop = title1Top + 26, upperHeight = g.title2Top - title1Top - 26;
    const int lowerTop = g.title2Top + 26, lowerHeight = buttonLineTop - g.title2Top - 26;
    const int lineLefts[3] = {yearLine0Left, g.yearLine1Left, g.yearLine2Left};
    for (int i = 0; i < 3; ++i) {
        g.boxes[i] = QRect(lefts[i], upperTop, widths[i], upperHeight);
        g.boxes[i + 3] = QRect(lefts[i], lowerTop, widths[i], lowerHeight);
        g.labels[i] = QPoint(lineLefts[i] + 10, (kTitleStripHeight - 12) / 2);
        g.labels[i + 3] = QPoint(lineLefts[i] + 10, g.title2Top + 8);
    }
    return g;
}

} // namespace tavi
