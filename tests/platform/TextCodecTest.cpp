#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace tavi;

TEST(TextCodec, GbkRoundTrip)
{
    const QString text = QStringLiteral("新建笔记");
    EXPECT_EQ(decodeGbk(encodeGbk(text)), text);
}
