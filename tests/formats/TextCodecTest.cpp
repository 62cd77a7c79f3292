#include "formats/TextCodec.h"

#include <QRandomGenerator>

#include <iconv.h>

#include <gtest/gtest.h>

using namespace tavi;

TEST(TextCodec, GbkBytesOfCommonText)
{
    EXPECT_EQ(encodeGbk(QStringLiteral("中文 ok")), QByteArray("\xD6\xD0\xCE\xC4 ok"));
    EXPECT_EQ(decodeGbk("\xD6\xD0\xCE\xC4 ok"), QStringLiteral("中文 ok"));
    EXPECT_EQ(decodeGbk("\x80"), QStringLiteral("€")); // code page 936's single-byte euro
    EXPECT_EQ(decodeGbk(""), QString());
}

TEST(TextCodec, CharactersOutsideGbkAreKeptThroughGb18030)
{
    // A pile of poo, a Korean syllable and a rare CJK Extension B character: none is in GBK.
    const QString text = QStringLiteral("a\U0001F4A9b한c\U00020000d");
    const QByteArray bytes = encodeGbk(text);
    EXPECT_EQ(bytes.left(5), QByteArray("a\x94\x39\xDA\x33", 5)); // GB18030 four-byte code of U+1F4A9
    EXPECT_EQ(decodeGbk(bytes), text);
}

TEST(TextCodec, PrefixStopsAtFirstCharacterGbkLacks)
{
    QByteArray out;
    EXPECT_EQ(encodeGbkPrefix(u"中\U0001F4A9文", out), 1);
    EXPECT_EQ(out, QByteArray("\xD6\xD0"));
}

TEST(TextCodec, EveryCharacterEncodesAsIconvCodePage936Does)
{
    // The encoder keeps its own table of the system's code page 936; it must agree on every character.
    iconv_t cd = iconv_open("CP936", "UTF-16LE");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int encodable = 0;
    for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF)
            continue;
        const char16_t character = char16_t(unit);
        char expected[8];
        char *in = const_cast<char *>(reinterpret_cast<const char *>(&character));
        char *outPointer = expected;
        size_t inLeft = 2, outLeft = sizeof expected;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const bool converts = iconv(cd, &in, &inLeft, &outPointer, &outLeft) != size_t(-1);
        QByteArray out("x");
        const qsizetype done = encodeGbkPrefix(QStringView(&character, 1), out);
        ASSERT_EQ(done, converts ? 1 : 0) << std::hex << unsigned(unit);
        if (converts) {
            ++encodable;
            ASSERT_EQ(out.mid(1), QByteArray(expected, outPointer - expected)) << std::hex << unsigned(unit);
        } else {
            ASSERT_EQ(out, "x") << std::hex << unsigned(unit);
        }
    }
    iconv_close(cd);
    EXPECT_GT(encodable, 21000); // GBK holds about 21,900 characters
}

TEST(TextCodec, InvalidBytesNeverFailAndRoundTripExactly)
{
    const QByteArray samples[] = {
        "\x81",             // lead byte at the end
        "\x81\x20",         // lead byte with an invalid trail
        "\xFF\xFE abc",     // bytes that start nothing
        "\x95\x32\x82",     // truncated four-byte code
        "\x95\x36\xB9\x37", // a second spelling of U+215D7, whose own is FE6C
        QByteArray("a\0b", 3),
    };
    for (const QByteArray &bytes : samples)
        EXPECT_EQ(encodeGbk(decodeGbk(bytes)), bytes) << bytes.toHex().toStdString();

    // Any bytes at all: what was read and not touched is written back the same.
    QRandomGenerator random(20261210);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(int(random.bounded(1, 24)), '\0');
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        ASSERT_EQ(encodeGbk(decodeGbk(bytes)), bytes) << bytes.toHex().toStdString();
    }
}

TEST(TextCodec, WindowsCodePages)
{
    struct Case {
        int codePage;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {1252, "caf\xE9 \x80", QStringLiteral("café €")},
        {0, "\xE9", QStringLiteral("é")}, // unknown code page: 1252
        {1251, "\xCF\xF0\xE8", QStringLiteral("При")},
        {1253, "\xD9", QStringLiteral("Ω")},
        {932, "\x82\xA0\x93\xFA", QStringLiteral("あ日")},
        {950, "\xA4\xA4", QStringLiteral("中")},
        {949, "\xC7\xD1", QStringLiteral("한")},
        {936, "\xD6\xD0", QStringLiteral("中")},
        {10000, "\x8E", QStringLiteral("é")},
        {65001, "\xE4\xB8\xAD", QStringLiteral("中")},
        {932, "\x82", QString(QChar::ReplacementCharacter)}, // a lead byte alone
        {936, "\x81", QString(QChar::ReplacementCharacter)},
        {936, "\xA2\xE3", QStringLiteral("€")}, // GB18030's two-byte euro sign, which GBK lacks
        // A GB18030 code of a character beyond U+FFFF whose low surrogate looks like a kept byte.
        {936, "\xCC\x33\x99\x33", QString::fromUcs4(U"\U000C98D7", 1)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeCodePage(c.codePage, c.bytes), c.text) << c.codePage;
}

TEST(TextCodec, LeadBytes)
{
    EXPECT_TRUE(isLeadByte(936, 0x81));
    EXPECT_FALSE(isLeadByte(936, 0x80));
    EXPECT_TRUE(isLeadByte(932, 0x82));
    EXPECT_FALSE(isLeadByte(932, 0xA1)); // half-width katakana: one byte
    EXPECT_FALSE(isLeadByte(1252, 0xE9));
}
