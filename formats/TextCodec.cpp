#include "formats/TextCodec.h"

#include <QtEndian>

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <map>
#include <memory>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "UTF-16LE is copied straight into QString");

namespace tavi {
namespace {

// One iconv descriptor per conversion, opened on first use and kept: opening
// is far slower than converting a short note. The program is single-threaded;
// thread_local keeps helpers (tests, tools) safe all the same.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [in, in + inLeft) as possible, appending to out.
    // Returns the number of input bytes consumed; stops at the first byte
    // sequence that does not convert (or at the end).
    size_t convert(const char *in, size_t inLeft, QByteArray &out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        const size_t start = inLeft;
        char *src = const_cast<char *>(in);
        char buffer[4096];
        while (inLeft > 0) {
            char *dst = buffer;
            size_t outLeft = sizeof buffer;
            const size_t rc = iconv(cd_, &src, &inLeft, &dst, &outLeft);
            out.append(buffer, dst - buffer);
            if (rc == static_cast<size_t>(-1) && errno != E2BIG)
                break;
        }
        char *dst = buffer;
        size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &dst, &outLeft);
        out.append(buffer, dst - buffer);
        return start - inLeft;
    }

private:
    iconv_t cd_;
};

Converter &converter(const char *to, const char *from)
{
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
    auto &slot = cache[{to, from}];
    if (!slot)
        slot = std::make_unique<Converter>(to, from);
    return *slot;
}

void appendUtf16(QString &text, const QByteArray &utf16le)
{
    text.append(QStringView(reinterpret_cast<const char16_t *>(utf16le.constData()), utf16le.size() / 2));
}

bool isGb18030FourByte(const unsigned char *p, size_t left)
{
    return left >= 4 && p[0] >= 0x81 && p[0] <= 0xFE && p[1] >= 0x30 && p[1] <= 0x39 && p[2] >= 0x81
        && p[2] <= 0xFE && p[3] >= 0x30 && p[3] <= 0x39;
}

const char *iconvName(int codePage)
{
    switch (codePage) {
    case 936: return "CP936";
    case 932: return "CP932";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1361: return "JOHAB";
    case 874: return "CP874";
    case 437: return "CP437";
    case 850: return "CP850";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 10000: return "MACINTOSH";
    case 10007: return "MAC-CYRILLIC";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 65001: return "UTF-8";
    default: return "CP1252";
    }
}

} // namespace

namespace {

bool isGb18030TwoByte(const unsigned char *p, size_t left)
{
    return left >= 2 && p[0] >= 0x81 && p[0] <= 0xFE && p[1] >= 0x40 && p[1] <= 0xFE && p[1] != 0x7F;
}

// A few characters can be read from two spellings (U+215D7 from FE6C and
// from 9536B937) but are written in one: four bytes that would not be written
// back as they were stay kept bytes instead.
bool writesBackAs(const QByteArray &utf16le, const unsigned char *bytes, qsizetype size)
{
    const QString character(reinterpret_cast<const QChar *>(utf16le.constData()), utf16le.size() / 2);
    return encodeGbk(character) == QByteArrayView(reinterpret_cast<const char *>(bytes), size);
}

// GBK, then the GB18030 four-byte codes; with readAllGb18030 also GB18030's
// two-byte codes that GBK leaves out (A2E3 is the euro sign there). Bytes
// that decode to nothing are kept as U+DC00 + byte.
QString decodeGbkOrGb18030(QByteArrayView bytes, bool readAllGb18030)
{
    QString text;
    text.reserve(bytes.size());
    thread_local Converter &gbk = converter("UTF-16LE", "CP936");
    thread_local Converter &gb18030 = converter("UTF-16LE", "GB18030");
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const size_t size = static_cast<size_t>(bytes.size());
    size_t pos = 0;
    QByteArray out;
    while (pos < size) {
        out.resize(0);
        pos += gbk.convert(reinterpret_cast<const char *>(data + pos), size - pos, out);
        appendUtf16(text, out);
        if (pos >= size)
            break;
        out.resize(0);
        if (isGb18030FourByte(data + pos, size - pos)
            && gb18030.convert(reinterpret_cast<const char *>(data + pos), 4, out) == 4
            && (readAllGb18030 || writesBackAs(out, data + pos, 4))) {
            appendUtf16(text, out);
            pos += 4;
        } else if (readAllGb18030 && isGb18030TwoByte(data + pos, size - pos)
                   && gb18030.convert(reinterpret_cast<const char *>(data + pos), 2, out) == 2) {
            appendUtf16(text, out);
            pos += 2;
        } else {
            text.append(QChar(char16_t(0xDC00 + data[pos])));
            ++pos;
        }
    }
    return text;
}

} // namespace

QString decodeGbk(QByteArrayView bytes)
{
    return decodeGbkOrGb18030(bytes, false);
}

QByteArray encodeGbk(const QString &text)
{
    QByteArray result;
    result.reserve(text.size() * 2);
    thread_local Converter &gb18030 = converter("GB18030", "UTF-16LE");
    const QStringView view(text);
    qsizetype pos = 0;
    while (pos < view.size()) {
        pos += encodeGbkPrefix(view.sliced(pos), result);
        if (pos >= view.size())
            break;
        const char16_t unit = view[pos].unicode();
        if (unit >= 0xDC80 && unit <= 0xDCFF) {
            result.append(char(unit - 0xDC00));
            ++pos;
            continue;
        }
        const bool pair = QChar::isHighSurrogate(unit) && pos + 1 < view.size() && view[pos + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const auto *data = reinterpret_cast<const char *>(view.utf16() + pos);
        if (gb18030.convert(data, size_t(length) * 2, result) != size_t(length) * 2)
            result.append('?'); // a lone surrogate that no encoding can hold
        pos += length;
    }
    return result;
}

namespace {

// GBK bytes of every UTF-16 unit, read from iconv once per 256 units on first
// use: a note is encoded at every save, and iconv costs far more per character
// than a lookup. 0 means no GBK code; below 0x100 one byte, else two.
class GbkTable {
public:
    std::uint16_t code(char16_t unit)
    {
        auto &page = pages_[unit >> 8];
        if (!page)
            page = fill(unit & 0xFF00);
        return (*page)[unit & 0xFF];
    }

private:
    static std::unique_ptr<std::array<std::uint16_t, 256>> fill(char16_t first)
    {
        auto page = std::make_unique<std::array<std::uint16_t, 256>>();
        Converter &gbk = converter("CP936", "UTF-16LE");
        for (int i = 0; i < 256; ++i) {
            const char16_t unit = char16_t(first + i);
            if (unit >= 0xD800 && unit <= 0xDFFF)
                continue; // half a character: never one on its own
            QByteArray bytes;
            if (gbk.convert(reinterpret_cast<const char *>(&unit), 2, bytes) != 2 || bytes.isEmpty() || bytes.size() > 2)
                continue;
            (*page)[i] = bytes.size() == 1 ? std::uint16_t(std::uint8_t(bytes[0]))
                                           : std::uint16_t(std::uint8_t(bytes[0]) << 8 | std::uint8_t(bytes[1]));
        }
        return page;
    }
    std::array<std::unique_ptr<std::array<std::uint16_t, 256>>, 256> pages_;
};

} // namespace

qsizetype encodeGbkPrefix(QStringView text, QByteArray &out)
{
    thread_local GbkTable table;
    const qsizetype start = out.size();
    out.resize(start + text.size() * 2); // the longest form, written in place
    char *p = out.data() + start;
    qsizetype done = 0;
    for (; done < text.size(); ++done) {
        const char16_t unit = text[done].unicode();
        if (unit == 0) {
            *p++ = 0;
            continue;
        }
        const std::uint16_t code = table.code(unit);
        if (code == 0)
            break;
        if (code > 0xFF)
            *p++ = char(code >> 8);
        *p++ = char(code & 0xFF);
    }
    out.resize(p - out.constData());
    return done;
}

QString decodeCodePage(int codePage, QByteArrayView bytes)
{
    if (codePage == 936) {
        // Read as GB18030, GBK's superset, so that no character of a note is lost.
        QString text = decodeGbkOrGb18030(bytes, true);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i].unicode();
            const bool pairedLow = i > 0 && text[i - 1].isHighSurrogate();
            if (unit >= 0xDC80 && unit <= 0xDCFF && !pairedLow)
                text[i] = QChar::ReplacementCharacter; // a kept byte, not half of a character
        }
        return text;
    }
    QString text;
    text.reserve(bytes.size());
    Converter *decoder = &converter("UTF-16LE", iconvName(codePage));
    if (!decoder->valid())
        decoder = &converter("UTF-16LE", "CP1252");
    const char *data = bytes.data();
    const size_t size = static_cast<size_t>(bytes.size());
    size_t pos = 0;
    QByteArray out;
    while (pos < size) {
        out.resize(0);
        pos += decoder->convert(data + pos, size - pos, out);
        appendUtf16(text, out);
        if (pos >= size)
            break;
        text.append(QChar::ReplacementCharacter);
        ++pos;
    }
    return text;
}

bool isLeadByte(int codePage, unsigned char byte)
{
    switch (codePage) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950: return byte >= 0x81 && byte <= 0xFE;
    case 1361: return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xF9);
    default: return false;
    }
}

} // namespace tavi
