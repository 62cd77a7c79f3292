#include "notes/WeekDayName.h"
#include "app/WeekPageLayout.h"

#include <gtest/gtest.h>

using namespace tavi;

TEST(WeekPageLayout, DesignSizedPage)
{
    const WeekPageGeometry g = ArrangeWeekPage(571, 406, 4, 4);
    EXPECT_EQ(g.yearLine1Left, 194);
    EXPECT_EQ(g.yearLine2Left, 384);
    EXPECT_EQ(g.title2Top, 200);
    const QRect expected[6] = {
        {1, 26, 188, 174},   {195, 26, 188, 174},  {385, 26, 184, 174},
        {1, 226, 188, 177},  {195, 226, 188, 177}, {385, 226, 184, 177},
    };
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(g.boxes[i], expected[i]) << "box " << i + 1;
    EXPECT_EQ(g.labels[0], QPoint(10, 6));
    EXPECT_EQ(g.labels[2], QPoint(394, 6));
    EXPECT_EQ(g.labels[4], QPoint(204, 208));
}

TEST(WeekPageLayout, TinyPagesTruncateTowardZero)
{
    const WeekPageGeometry g = ArrangeWeekPage(2, 10, 4, 4);
    EXPECT_EQ(g.yearLine1Left, 5);   // (2 - 4) / 3 is 0, not -1
    EXPECT_EQ(g.yearLine2Left, 6);
    EXPECT_EQ(g.title2Top, 2);       // 4 + 18 + (10 - 50) / 2
    EXPECT_EQ(g.boxes[0].width(), -1); // (2 - 5) / 3
    EXPECT_EQ(g.boxes[2].width(), -5);
}

TEST(WeekDayName, NamesTheSixBoxes)
{
    EXPECT_EQ(weekdayHeading(1), QStringLiteral("星期一"));
    EXPECT_EQ(weekdayHeading(6), QStringLiteral("星期六"));
    EXPECT_EQ(weekdayHeading(0), QString());
    EXPECT_EQ(weekdayHeading(7), QString());
}
