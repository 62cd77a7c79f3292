#include "notes/DayNote.h"

#include <gtest/gtest.h>

using namespace tavi;

TEST(DayNote, BytesThatAreNotRtfAreGbkText)
{
    EXPECT_EQ(DayNote("\xD6\xDC\xD2\xBB\r\nsecond line").plainText(), QStringLiteral("周一\r\nsecond line"));
    EXPECT_EQ(DayNote("{\\rtf").plainText(), QString()); // an RTF header and nothing else is still RTF
    // Typed text is stored as the day box writes it, and reads back the same.
    const DayNote typed = DayNote::fromPlainText(QStringLiteral("周一\n第二行"));
    EXPECT_TRUE(typed.stored().startsWith("{\\rtf1\\ansi\\ansicpg936"));
    EXPECT_EQ(typed.plainText(), QStringLiteral("周一\r\n第二行"));
}
