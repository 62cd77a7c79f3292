#include "formats/RtfReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

using namespace tavi;
using namespace std::literals;

namespace {

std::string textOf(std::string_view rtf)
{
    return readRtf(QByteArrayView(rtf.data(), qsizetype(rtf.size()))).plainText().toStdString();
}

struct TextCase {
    std::string_view rtf;
    std::string expected; // UTF-8
};

void expectTexts(std::initializer_list<TextCase> cases)
{
    for (const TextCase &c : cases)
        EXPECT_EQ(textOf(c.rtf), c.expected) << "reading " << c.rtf;
}

// Format of the run holding the (unique) character c.
RtfCharFormat formatOf(const RtfDocument &doc, QChar c)
{
    for (const RtfRun &run : doc.runs) {
        if (run.text.contains(c))
            return run.format;
    }
    ADD_FAILURE() << "no character " << int(c.unicode());
    return {};
}

} // namespace

TEST(RtfReader, OnlyDocumentsStartingWithTheRtfGroupAreRtf)
{
    EXPECT_TRUE(looksLikeRtf("{\\rtf1\\ansi x}"));
    EXPECT_TRUE(looksLikeRtf("{\\rtf"));
    for (const char *notRtf : {"", "{\\rt", " {\\rtf1}", "\\rtf1", "{\\RTF1}", "plain text"}) {
        EXPECT_FALSE(looksLikeRtf(notRtf)) << notRtf;
        EXPECT_THROW(readRtf(notRtf), ParseError) << notRtf;
    }
}

TEST(RtfReader, TextOfBreaksSymbolsAndEscapes)
{
    expectTexts({
        {"{\\rtf1 a\\par b\\par}", "a\nb"},            // the last paragraph mark adds nothing
        {"{\\rtf1 a\\par\\par}", "a\n"},
        {"{\\rtf1 a\\line b\\tab c}", "a\u2028b\tc"},
        {"{\\rtf1 a\\\nb\\\rc}", "a\nb\nc"},           // backslash before a line end is \par
        {"{\\rtf1 a\r\nb\nc}", "abc"},                 // raw line ends are not text
        {"{\\rtf1 \\{\\}\\\\}", "{}\\"},
        {"{\\rtf1foobar}", "foobar"},                  // the word ends where its digits end
        {"{\\rtf1 a  b}", "a  b"},                     // only one blank delimits a word
        {"{\\rtf1 \\~\\-\\_\\emdash\\endash\\bullet}", "\u00A0\u00AD\u2011\u2014\u2013\u2022"},
        {"{\\rtf1 \\lquote\\rquote\\ldblquote\\rdblquote\\emspace\\enspace\\qmspace}",
         "\u2018\u2019\u201C\u201D\u2003\u2002\u2005"},
        {"{\\rtf1 a\\cell b\\cell\\row c}", "a\tb\t\nc"},
        {"{\\rtf1 a\0b}"sv, "ab"},
        {"{\\rtf1 x}after}", "x"},
        {"{\\rtf1 x}}}", "x"},
        {"{\\rtf1 {\\b x", "x"},                       // truncated: read what is there
        {"{\\rtf1 \\unknownword1 a{\\unknowngroup b}c}", "abc"},
    });
}

TEST(RtfReader, DestinationsThatAreNotText)
{
    expectTexts({
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}", "link"},
        {"{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}", "3"},
        {"{\\rtf1 a{\\*\\unknown b{c}}d}", "ad"},
        {"{\\rtf1 {\\pntext 1.\\tab}{\\*\\pn{\\pntxta .}}item}", "item"},
        {"{\\rtf1 {\\listtext \\'b7\\tab}item}", "item"},
        {"{\\rtf1 {\\header h}{\\footer f}{\\info{\\title t}}{\\stylesheet{\\s0 Normal;}}body}", "body"},
        {"{\\rtf1 {\\v hidden}shown}", "hiddenshown"},
        // Binary data is skipped by its length, braces and backslashes included.
        {"{\\rtf1 a{\\pict\\bin8 }{\\par}b}c}", "ac"},
        {"{\\rtf1 a{\\*\\shprslt\\bin3 {{{}b}", "ab"},
        {"{\\rtf1 a\\bin2 }}b}", "ab"},
    });
}

TEST(RtfReader, UnicodeAndItsFallback)
{
    expectTexts({
        {"{\\rtf1 \\u20013?x}", "中x"},
        {"{\\rtf1 \\uc2\\u20013\\'d6\\'d0x}", "中x"},
        {"{\\rtf1 {\\uc2 \\u20013??}\\u20013?x}", "中中x"},  // \uc ends with its group
        {"{\\rtf1 \\uc0\\u20013 x}", "中x"},
        {"{\\rtf1 \\u345\\'3?x}", "řx"},                    // a malformed \' is one fallback too
        {"{\\rtf1 \\u8804\tx}", "≤x"},                       // so is a raw TAB
        {"{\\rtf1 \\u8804\\~x}", "≤x"},                      // and a control symbol
        {"{\\rtf1 \\uc5\\u8804 a{b}c}", "≤bc"},             // skipping stops at a brace
        {"{\\rtf1 \\u-4064?}", "\uF020"},                    // negative: a 16-bit value
        {"{\\rtf1 \\u-10179?\\u-9047?}", "\U0001F4A9"},      // a surrogate pair is one character
        {"{\\rtf1 \\uc0\\u128169 }", "\U0001F4A9"},
        {"{\\rtf1 \\u-10179?x}", "\uFFFDx"},                 // halves of a pair alone are not text
        {"{\\rtf1 \\u-9047?x}", "\uFFFDx"},
        {"{\\rtf1 \\u99999999999999 x}", "\uFFFD"},
    });
}

TEST(RtfReader, BytesDecodeInTheCodePageOfTheFontOrDocument)
{
    expectTexts({
        {"{\\rtf1 caf\\'e9 caf\xe9}", "café café"},          // default 1252
        {"{\\rtf1\\ansi\\ansicpg0 caf\\'e9}", "café"},
        {"{\\rtf1\\ansi\\ansicpg1251 \\'c0}", "А"},
        {"{\\rtf1\\mac \\'8e}", "é"},
        {"{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}", "中文"},
        {"{\\rtf1\\ansi\\ansicpg936 \xd6\xd0\xce\xc4}", "中文"},
        // The two bytes of one character stay together across a line end in the source.
        {"{\\rtf1\\ansi\\ansicpg936 \\'d6\r\n\\'d0\\'ce\n\\'c4}", "中文"},
        {"{\\rtf1\\ansi\\ansicpg932 \\'82l}", "Ｍ"},            // escaped lead byte, raw trail byte
        // Our writer puts characters GBK lacks in four-byte GB18030 sequences.
        {"{\\rtf1\\ansi\\ansicpg936 \\'83\\'30\\'b7\\'32 \\'830\\'b72 \\'949\\'fc6}", "맑 맑 😀"},
        {"{\\rtf1\\ansi\\ansicpg936 a\\'ffb}", "a\uFFFDb"},
        {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset134 A;}{\\f1\\fcharset0 B;}}"
         "\\f0\\'d6\\'d0\\f1\\'e9}",
         "中é"},
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset1 A;}}\\f0\\'d6\\'d0}", "中"},
        {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset204 A;}{\\f1\\fcharset0 B;}}\\'c0\\f1\\'c0\\plain\\'c0}", "АÀА"},
    });
}

TEST(RtfReader, FormatsFollowGroupsAndPlain)
{
    const RtfDocument doc = readRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "a{\\b b{\\i c}d}{\\ul e\\ulnone f\\uldb g\\ul0 h}{\\cf1 i}{\\cf2\\fs32 j}{\\f1 k}{\\f0 l}"
        "\\b\\i\\ul\\cf1\\fs20\\f0 m\\pard n\\plain o\\cf9 p}");
    EXPECT_EQ(doc.plainText(), u"abcdefghijklmnop");

    RtfCharFormat plain;
    RtfCharFormat bold;
    bold.bold = true;
    RtfCharFormat boldItalic = bold;
    boldItalic.italic = true;
    RtfCharFormat underline;
    underline.underline = true;
    RtfCharFormat red;
    red.color = QColor(255, 0, 0);
    RtfCharFormat bigBlue;
    bigBlue.color = QColor(0, 0, 255);
    bigBlue.halfPoints = 32;
    RtfCharFormat song;
    song.fontName = QStringLiteral("宋体"); // font names decode in their own charset
    RtfCharFormat arial;
    arial.fontName = QStringLiteral("Arial");
    RtfCharFormat all{QColor(255, 0, 0), true, true, true, 20, QStringLiteral("Arial")};

    const std::pair<char, RtfCharFormat> expected[] = {
        {'a', plain}, {'b', bold}, {'c', boldItalic}, {'d', bold}, {'e', underline}, {'f', plain},
        {'g', underline}, {'h', plain}, {'i', red}, {'j', bigBlue}, {'k', song}, {'l', arial},
        {'m', all}, {'n', all}, {'o', plain}, {'p', plain},
    };
    for (const auto &[c, format] : expected) {
        const RtfCharFormat actual = formatOf(doc, QLatin1Char(c));
        EXPECT_TRUE(actual == format) << "character " << c << ": bold " << actual.bold << " italic "
                                      << actual.italic << " underline " << actual.underline << " colour "
                                      << actual.color.name().toStdString() << " size " << actual.halfPoints
                                      << " font " << actual.fontName.toStdString();
    }
}

TEST(RtfReader, ColourZeroIsTheTablesFirstEntry)
{
    const RtfDocument automatic = readRtf("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\cf1 a\\cf0 b}");
    EXPECT_EQ(formatOf(automatic, u'a').color, QColor(1, 2, 3));
    EXPECT_FALSE(formatOf(automatic, u'b').color.isValid());

    const RtfDocument given = readRtf("{\\rtf1{\\colortbl\\red1\\green2\\blue3;}\\cf0 a}");
    EXPECT_EQ(formatOf(given, u'a').color, QColor(1, 2, 3));
}

TEST(RtfReader, EqualFormatsShareOneRun)
{
    const RtfDocument doc = readRtf("{\\rtf1 a{\\b0 b}{\\i\\i0 c}\\'e9\\u20013?}");
    ASSERT_EQ(doc.runs.size(), 1u);
    EXPECT_EQ(doc.runs[0].text, u"abcé中");
}

TEST(RtfReader, DeepNestingIsReadWithoutRecursion)
{
    const std::string open(100000, '{');
    const std::string close(100000, '}');
    EXPECT_EQ(textOf("{\\rtf1 " + open + "x" + close + "y}"), "xy");
    EXPECT_EQ(textOf("{\\rtf1 " + open + "\\b x"), "x");
    // Formats set past the depth limit must not leak out of their groups.
    const RtfDocument doc = readRtf(QByteArray::fromStdString("{\\rtf1 " + open + "\\b x" + close + "y}"));
    EXPECT_FALSE(formatOf(doc, u'y').bold);
}

TEST(RtfReader, HugeAndOddParametersAreHarmless)
{
    expectTexts({
        {"{\\rtf1 a\\bin-5 b}", "ab"},
        {"{\\rtf1 a\\bin99999999999 b}", "a"},
        {"{\\rtf1 a\\fs99999999999999999999 \\cf-99999999999 \\f99999999999 \\uc99999999999 b}", "ab"},
        {"{\\rtf1 a\\b-0 b}", "ab"},
        {"{\\rtf1 a\\", "a"},
        {"{\\rtf1 a\\'", "a"},
        {"{\\rtf1 a\\'4", "a"},
    });
    EXPECT_EQ(textOf("{\\rtf1 a\\" + std::string(100000, 'x') + "1 b}"), "ab");
    EXPECT_EQ(textOf("{\\rtf1 a\\b" + std::string(100000, '9') + " b}"), "ab");
}

TEST(RtfReader, DamagedDocumentsReadWithoutFailing)
{
    const std::string sample =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator x;}\\uc1\\pard\\f0\\fs24 "
        "\\cf1\\'d6\\'d0\\u-10179?\\u-9047?{\\field{\\*\\fldinst x}{\\fldrslt y}}{\\pict\\bin4 {}\\ab}"
        "\\b bold\\b0\\par\\line\\tab end\\par}";
    for (std::size_t length = 5; length <= sample.size(); ++length)
        EXPECT_NO_THROW(readRtf(QByteArray::fromStdString(sample.substr(0, length)))) << length;

    // Random mutations of a real document; a fixed seed keeps failures reproducible.
    std::mt19937 random(20240601);
    for (int round = 0; round < 500; ++round) {
        std::string damaged = sample;
        for (int i = 0; i < 8; ++i)
            damaged[5 + random() % (damaged.size() - 5)] = char(random() % 256);
        EXPECT_NO_THROW(readRtf(QByteArray::fromStdString(damaged))) << round;
    }
}
