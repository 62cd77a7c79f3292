#include "formats/RtfWriter.h"

#include <gtest/gtest.h>

using namespace tavi;

TEST(RtfWriter, WritesTheRichEditDialect)
{
    RtfDocument doc;
    RtfCharFormat red;
    red.color = QColor(255, 0, 0);
    red.bold = true;
    doc.append(QStringLiteral("中文 a{b}\\c\n"), RtfCharFormat{});
    doc.append(QStringLiteral("红\U0001F4A9"), red);
    doc.append(QStringLiteral("\tx") + QChar(0x2028) + QStringLiteral("y"), RtfCharFormat{});
    const QByteArray expected =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
        "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs18 \\'d6\\'d0\\'ce\\'c4 a\\{b\\}\\\\c\\par\r\n"
        "\\cf1\\b \\'ba\\'ec\\u-10179?\\u-9047?\\cf0\\b0 \\tab x\\line y\\par\r\n"
        "}\r\n";
    EXPECT_EQ(writeRtf(doc), expected);
}

TEST(RtfWriter, EmptyDocumentAndFontTable)
{
    EXPECT_EQ(writeRtf({}),
              QByteArray("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
                         "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
                         "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs18\\par\r\n}\r\n"));
    RtfDocument doc;
    RtfCharFormat arial;
    arial.fontName = QStringLiteral("Arial");
    arial.halfPoints = 20;
    doc.append(QStringLiteral("A"), arial);
    doc.append(QStringLiteral("B"), RtfCharFormat{});
    const QByteArray rtf = writeRtf(doc);
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset134 Arial;}{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"));
    EXPECT_TRUE(rtf.contains("\\f0\\fs20 A\\f1\\fs18 B\\par"));
}
