#include "formats/SettingsFiles.h"

#include <gtest/gtest.h>

using namespace tavi;

TEST(WindowSettings, DefaultsAreCentredAboveTheTaskbarAllowance)
{
    EXPECT_EQ(defaultWindowBounds(QRect(0, 0, 1280, 800)), QRect(187, 115, 906, 540));
    EXPECT_EQ(defaultWindowBounds(QRect(0, 0, 800, 600)).left(), -53);
    EXPECT_EQ(defaultWindowBounds(QRect(0, 0, 800, 600)).top(), 15);
    EXPECT_EQ(defaultWindowBounds(QRect(0, 0, 905, 569)), QRect(0, 0, 906, 540)); // -1 / 2 truncates to 0
    EXPECT_EQ(defaultWindowBounds(QRect(-1280, -100, 1280, 800)), QRect(-1093, 15, 906, 540)); // primary left of another
}

TEST(WindowSettings, ParsingKeepsWhatIsUsableAndDefaultsTheRest)
{
    const QRect screen(0, 0, 1280, 800);
    struct Case {
        QStringList lines;
        int slot;
        QRect bounds;
        std::optional<QString> month;
        bool complete;
    };
    const Case cases[] = {
        {{"3", "1000", "600", "-53", "-7", "11"}, 3, QRect(-53, -7, 1000, 600), QStringLiteral("11"), true},
        {{"2", "906", "540", "10", "20"}, 2, QRect(10, 20, 906, 540), std::nullopt, true},
        {{"1", "abc", "500", "x", "5", "7"}, 1, QRect(187, 5, 906, 500), QStringLiteral("7"), false},
        {{"9", " 800 ", "480", "0", "0", "Mar"}, 9, QRect(0, 0, 800, 480), QStringLiteral("Mar"), true},
        {{"2"}, 2, QRect(187, 115, 906, 540), std::nullopt, false},
        {{}, 1, QRect(187, 115, 906, 540), std::nullopt, false},
        {{"0x10", "1e3"}, 1, QRect(187, 115, 906, 540), std::nullopt, false},
    };
    for (const Case &c : cases) {
        const WindowSettings s = parseWindowSettings(c.lines, screen);
        EXPECT_EQ(s.slot, c.slot) << c.lines.join(u',').toStdString();
        EXPECT_EQ(s.bounds, c.bounds) << c.lines.join(u',').toStdString();
        EXPECT_EQ(s.month, c.month) << c.lines.join(u',').toStdString();
        EXPECT_EQ(s.complete, c.complete) << c.lines.join(u',').toStdString();
    }
    EXPECT_EQ(windowSettingsLines(1, QRect(-53, 30, 906, 540), QStringLiteral("6")),
              (QStringList{"1", "906", "540", "-53", "30", "6"}));
}

TEST(WindowSettings, WallpaperQuestion)
{
    EXPECT_FALSE(askBeforeSetBg({QStringLiteral("0")}));
    EXPECT_FALSE(askBeforeSetBg({QStringLiteral("-1")}));
    EXPECT_TRUE(askBeforeSetBg({QStringLiteral("2")}));
    EXPECT_TRUE(askBeforeSetBg({QStringLiteral("1"), QStringLiteral("0")}));
    // Missing or not an integer: ask.
    EXPECT_TRUE(askBeforeSetBg({}));
    EXPECT_TRUE(askBeforeSetBg({QStringLiteral("no")}));
    EXPECT_TRUE(askBeforeSetBg({QString()}));
}

TEST(WindowSettings, MemoTextEndsEveryLine)
{
    EXPECT_EQ(memoText({QStringLiteral("a"), QStringLiteral("b")}), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(memoText({}), QString());
}
