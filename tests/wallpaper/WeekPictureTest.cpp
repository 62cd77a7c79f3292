#include "pictures/BmpReader.h"
#include "notes/WeekDayName.h"
#include "wallpaper/WeekPicture.h"

#include <QDir>
#include <QFile>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

bool isDark(const Bitmap &picture, int x, int y)
{
    const QRgb colour = picture.pixel(x, y);
    return qRed(colour) < 128 && qGreen(colour) < 128 && qBlue(colour) < 128;
}

// The box around every dark pixel inside region; empty when there is none.
QRect inkIn(const Bitmap &picture, const QRect &region)
{
    QRect ink;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (isDark(picture, x, y))
                ink = ink.united(QRect(x, y, 1, 1));
    return ink;
}

WeekTexts week(std::initializer_list<QString> texts)
{
    WeekTexts result;
    std::size_t day = 0;
    for (const QString &text : texts)
        result[day++] = text;
    return result;
}

const QRect kCells[6] = {{QPoint(2, 25), QPoint(213, 207)},    {QPoint(218, 25), QPoint(429, 207)},
                         {QPoint(434, 25), QPoint(645, 207)},  {QPoint(2, 230), QPoint(213, 412)},
                         {QPoint(218, 230), QPoint(429, 412)}, {QPoint(434, 230), QPoint(645, 412)}};

} // namespace

TEST(ContentPicture, GridInThePenColour)
{
    ContentColours colours;
    colours.windowBackground = QColor(255, 0, 0);
    const Bitmap picture = drawWeekPicture(week({}), colours);
    ASSERT_EQ(picture.width(), 650);
    ASSERT_EQ(picture.height(), 450);
    const QRgb red = qRgb(255, 0, 0);
    auto isRed = [&](int x, int y) { return picture.pixel(x, y) == red; };
    for (int x = 0; x < 650; ++x) {
        for (int y : {0, 20, 209, 229, 449})
            EXPECT_TRUE(isRed(x, y)) << x << "," << y;
    }
    for (int y = 0; y < 450; ++y) {
        for (int x : {0, 216, 432, 649})
            EXPECT_TRUE(isRed(x, y)) << x << "," << y;
    }
    for (const QPoint p : {QPoint(1, 1), QPoint(215, 100), QPoint(217, 21), QPoint(648, 448), QPoint(100, 210),
                           QPoint(100, 228), QPoint(300, 430)})
        EXPECT_EQ(picture.pixel(p.x(), p.y()), qRgb(255, 255, 255)) << p.x() << "," << p.y();

    // With the default scheme the grid is white on white: only text shows.
    const Bitmap plain = drawWeekPicture(week({}));
    EXPECT_EQ(plain.pixel(216, 100), qRgb(255, 255, 255));
    EXPECT_EQ(plain.pixel(100, 20), qRgb(255, 255, 255));
}

TEST(ContentPicture, HeadingsStandAtTheirPlaces)
{
    const Bitmap picture = drawWeekPicture(week({}));
    const QPoint places[6] = {{24, 3}, {240, 3}, {456, 3}, {24, 211}, {240, 211}, {456, 211}};
    for (int i = 0; i < 6; ++i) {
        const QRect ink = inkIn(picture, QRect(places[i] - QPoint(10, 3), QSize(80, 19)));
        ASSERT_FALSE(ink.isEmpty()) << "heading " << i + 1;
        EXPECT_GE(ink.left(), places[i].x());
        EXPECT_LE(ink.left(), places[i].x() + 2);
        EXPECT_GE(ink.top(), places[i].y());
        EXPECT_LE(ink.bottom(), places[i].y() + 12);
        EXPECT_LE(ink.width(), 3 * 13); // three characters of 13 pixels
    }
    // Nothing else is drawn when the week is empty.
    for (const QRect &cell : kCells)
        EXPECT_TRUE(inkIn(picture, cell).isEmpty());
}

TEST(ContentPicture, TextWrapsAndIsClippedToItsCell)
{
    QString lines;
    for (int i = 0; i < 40; ++i)
        lines += QStringLiteral("第%1行：上午九点开会，讨论本周的工作安排和下周的计划。\r\n").arg(i);
    const QString longWord = QStringLiteral("W").repeated(200);
    const Bitmap picture = drawWeekPicture(week({lines, QString(), longWord, QStringLiteral("a\r\nb"), QString(), lines}));

    const QRect monday = inkIn(picture, QRect(0, 21, 216, 188));
    ASSERT_FALSE(monday.isEmpty());
    EXPECT_TRUE(kCells[0].contains(monday)) << "ink reaches " << monday.right() << "," << monday.bottom();
    EXPECT_GE(monday.bottom(), 200); // the cell is full to its bottom
    EXPECT_TRUE(inkIn(picture, kCells[1]).isEmpty());   // an empty box leaves its cell blank
    EXPECT_TRUE(kCells[2].contains(inkIn(picture, QRect(433, 21, 217, 188))));
    EXPECT_TRUE(inkIn(picture, QRect(0, 413, 650, 37)).isEmpty()); // below the lower cells

    // A line break starts a new line: "a" and "b" stand one above the other.
    const QRect a = inkIn(picture, QRect(2, 230, 12, 14));
    const QRect b = inkIn(picture, QRect(2, 244, 12, 14));
    EXPECT_FALSE(a.isEmpty());
    EXPECT_FALSE(b.isEmpty());
}

TEST(ContentPicture, AmpersandMarksTheNextCharacter)
{
    auto ink = [](const QString &text) { return inkIn(drawWeekPicture(week({text})), kCells[0]); };
    auto darkCount = [](const QString &text) {
        const Bitmap picture = drawWeekPicture(week({text}));
        int count = 0;
        for (int y = kCells[0].top(); y <= kCells[0].bottom(); ++y)
            for (int x = kCells[0].left(); x <= kCells[0].right(); ++x)
                count += isDark(picture, x, y);
        return count;
    };
    // "a&b": no ampersand drawn, "b" underlined (the line spans its advance, a pixel past the
    // glyph): as wide as "ab", with a few more dark pixels below.
    EXPECT_EQ(ink(QStringLiteral("a&b")).left(), ink(QStringLiteral("ab")).left());
    EXPECT_NEAR(ink(QStringLiteral("a&b")).right(), ink(QStringLiteral("ab")).right(), 1);
    EXPECT_GT(ink(QStringLiteral("a&b")).bottom(), ink(QStringLiteral("ab")).bottom());
    EXPECT_GT(darkCount(QStringLiteral("a&b")), darkCount(QStringLiteral("ab")));
    // "a&&b" draws one ampersand between the letters.
    EXPECT_GT(ink(QStringLiteral("a&&b")).width(), ink(QStringLiteral("ab")).width() + 3);
    EXPECT_EQ(darkCount(QStringLiteral("a&&b")), darkCount(QStringLiteral("a") + QChar(u'&') + QChar(u'&') + QStringLiteral("b")));
}

TEST(ContentPicture, DrawingIsRepeatableUnderItsHeadings)
{
    const auto notes = week({QStringLiteral("开会"), QStringLiteral("写报告 & 总结"), QString(), QStringLiteral("√ 健身"),
                             QString(), QStringLiteral("周末")});
    const Bitmap first = drawWeekPicture(notes);
    const Bitmap second = drawWeekPicture(notes);
    EXPECT_TRUE(std::equal(first.bits(), first.bits() + first.stride() * first.height(), second.bits()));

    EXPECT_EQ(weekdayHeading(6), QStringLiteral("星期六"));
    EXPECT_EQ(weekdayHeading(0), QString());
    EXPECT_EQ(weekdayHeading(7), QString());
}
