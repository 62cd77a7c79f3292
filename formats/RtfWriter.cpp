#include "formats/RtfWriter.h"

#include "formats/TextCodec.h"

#include <QList>

namespace tavi {
namespace {

constexpr int defaultHalfPoints = 18; // 9 pt, the rich edit control's default
const char *const defaultFontName = "宋体";

// Table of distinct values in order of first use; the index is the RTF number.
template <typename T>
int indexIn(QList<T> &table, const T &value)
{
    qsizetype index = table.indexOf(value);
    if (index < 0) {
        table.append(value);
        index = table.size() - 1;
    }
    return int(index);
}

void appendNumber(QByteArray &out, const char *word, int number)
{
    out += word;
    out += QByteArray::number(number);
}

// Escapes bytes of GBK text: ASCII stays as it is except the RTF specials;
// every other byte becomes \'hh.
void appendEscapedBytes(QByteArray &out, QByteArrayView bytes)
{
    static const char hex[] = "0123456789abcdef";
    const qsizetype start = out.size();
    out.resize(start + bytes.size() * 4); // the longest form, \'hh, written in place
    char *p = out.data() + start;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\' || byte == '{' || byte == '}') {
            *p++ = '\\';
            *p++ = c;
        } else if (byte >= 0x20 && byte < 0x80) {
            *p++ = c;
        } else {
            *p++ = '\\';
            *p++ = '\'';
            *p++ = hex[byte >> 4];
            *p++ = hex[byte & 0xF];
        }
    }
    out.resize(p - out.constData());
}

// Characters GBK cannot hold are written as \uN? (signed 16-bit units, as
// the rich edit control does).
void appendGbkOrUnicode(QByteArray &out, QStringView text)
{
    QByteArray bytes;
    qsizetype pos = 0;
    while (pos < text.size()) {
        bytes.clear();
        pos += encodeGbkPrefix(text.sliced(pos), bytes);
        appendEscapedBytes(out, bytes);
        if (pos >= text.size())
            break;
        const bool pair = text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate();
        for (const QChar part : text.sliced(pos, pair ? 2 : 1)) {
            appendNumber(out, "\\u", int(static_cast<int16_t>(part.unicode())));
            out += '?';
        }
        pos += pair ? 2 : 1;
    }
}

// Text of one run, without paragraph breaks.
void appendText(QByteArray &out, QStringView text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const char *special = nullptr;
        if (unit == u'\t')
            special = "\\tab ";
        else if (unit == 0x2028)
            special = "\\line ";
        else if (unit == 0xFFFC || unit == 0x2029 || unit == u'\r')
            special = ""; // embedded objects are not kept; stray separators are noise
        if (!special)
            continue;
        appendGbkOrUnicode(out, text.sliced(start, i - start));
        out += special;
        start = i + 1;
    }
    appendGbkOrUnicode(out, text.sliced(start));
}

QString fontOf(const RtfCharFormat &format)
{
    return format.fontName.isEmpty() ? QString::fromUtf8(defaultFontName) : format.fontName;
}

} // namespace

void RtfTables::add(const RtfCharFormat &format)
{
    indexIn(fonts, fontOf(format));
    if (format.color.isValid())
        indexIn(colours, format.color.rgb());
}

int RtfTables::fontIndex(const RtfCharFormat &format) const
{
    return int(fonts.indexOf(fontOf(format)));
}

int RtfTables::colourIndex(const RtfCharFormat &format) const
{
    return format.color.isValid() ? int(colours.indexOf(format.color.rgb())) + 1 : 0;
}

QByteArray rtfHeader(const RtfTables &tables)
{
    QList<QString> fonts = tables.fonts;
    if (fonts.isEmpty())
        fonts.append(QString::fromUtf8(defaultFontName));

    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        // Every font is declared GBK: all \'hh bytes of this dialect are GBK.
        appendNumber(out, "{\\f", int(i));
        out += "\\fnil\\fcharset134 ";
        appendEscapedBytes(out, encodeGbk(fonts[i]));
        out += ";}";
    }
    out += "}\r\n";
    if (!tables.colours.isEmpty()) {
        out += "{\\colortbl ;";
        for (const QRgb rgb : tables.colours) {
            appendNumber(out, "\\red", qRed(rgb));
            appendNumber(out, "\\green", qGreen(rgb));
            appendNumber(out, "\\blue", qBlue(rgb));
            out += ';';
        }
        out += "}\r\n";
    }
    out += "\\viewkind4\\uc1\\pard\\lang2052";
    return out;
}

void appendRtfRun(QByteArray &out, RtfWriterState &state, const RtfTables &tables, QStringView text,
                  const RtfCharFormat &f)
{
    auto word = [&](const char *control, int number, bool withNumber = true) {
        out += control;
        if (withNumber)
            out += QByteArray::number(number);
        state.pendingSpace = true;
    };
    const int runColour = tables.colourIndex(f);
    const int runFont = tables.fontIndex(f);
    const int runHalfPoints = f.halfPoints > 0 ? f.halfPoints : defaultHalfPoints;
    if (runColour != state.colour)
        word("\\cf", state.colour = runColour);
    if (f.bold != state.bold)
        word((state.bold = f.bold) ? "\\b" : "\\b0", 0, false);
    if (f.italic != state.italic)
        word((state.italic = f.italic) ? "\\i" : "\\i0", 0, false);
    if (f.underline != state.underline)
        word((state.underline = f.underline) ? "\\ul" : "\\ulnone", 0, false);
    if (runFont != state.font || state.halfPoints < 0)
        word("\\f", state.font = runFont);
    if (runHalfPoints != state.halfPoints)
        word("\\fs", state.halfPoints = runHalfPoints);

    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const bool breaks = end >= 0;
        if (!breaks)
            end = text.size();
        if (end > start) {
            if (state.pendingSpace)
                out += ' ';
            state.pendingSpace = false;
            appendText(out, text.sliced(start, end - start));
        }
        if (!breaks)
            break;
        out += "\\par\r\n";
        state.pendingSpace = false;
        start = end + 1;
    }
}

QByteArray rtfEnd(RtfWriterState state)
{
    QByteArray out;
    if (state.halfPoints < 0) {
        appendNumber(out, "\\f", 0);
        appendNumber(out, "\\fs", defaultHalfPoints);
    }
    // The document's last paragraph mark, as the rich edit control writes it.
    out += "\\par\r\n}\r\n";
    return out;
}

QByteArray writeRtf(const RtfDocument &doc)
{
    RtfTables tables;
    for (const RtfRun &run : doc.runs)
        tables.add(run.format);
    QByteArray out = rtfHeader(tables);
    RtfWriterState state;
    for (const RtfRun &run : doc.runs)
        appendRtfRun(out, state, tables, run.text, run.format);
    out += rtfEnd(state);
    return out;
}

} // namespace tavi
