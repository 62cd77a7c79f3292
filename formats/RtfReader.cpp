#include "formats/RtfReader.h"

#include "formats/TextCodec.h"

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

// One linear pass over the bytes with an explicit group stack: no recursion,
// no backtracking, so hostile input costs time and memory in proportion to
// its size.
namespace tavi {
namespace {

constexpr std::size_t kMaxDepth = 1024;      // deeper groups share the state at this depth
constexpr std::size_t kMaxKeyword = 32;      // longer control words cannot be known ones
constexpr std::int64_t kMaxParam = 2000000000; // parameters saturate here instead of overflowing
constexpr qsizetype kMaxFontName = 256;
constexpr std::size_t kMaxColors = 65536;
constexpr qsizetype kMaxFonts = 65536;
constexpr int kMaxSkip = 1000;               // \ucN beyond any real fallback

// What the text of a group is for.
enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable };

enum class Kw : std::uint8_t {
    Skip,       // destination that holds no document text
    Text,       // destination that holds document text, even after \*
    FontTable,
    ColorTable,
    Char,       // stands for one character
    Bold,
    Italic,
    Underline,  // any underline kind; parameter 0 turns it off
    UnderlineOff,
    Plain,
    FontSize,
    Font,
    Color,
    Unicode,
    UnicodeSkip,
    Bin,
    CharSet,    // \ansi, \mac, \pc, \pca: value is the code page
    AnsiCodePage,
    DefaultFont,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
};

struct Keyword {
    std::string_view name;
    Kw kind;
    char16_t value = 0;
};

// Sorted by name for binary search; the compiler checks the order.
constexpr Keyword kKeywords[] = {
    {"aftncn", Kw::Skip},
    {"aftnsep", Kw::Skip},
    {"aftnsepc", Kw::Skip},
    {"annotation", Kw::Skip},
    {"ansi", Kw::CharSet, 1252},
    {"ansicpg", Kw::AnsiCodePage},
    {"atnauthor", Kw::Skip},
    {"atndate", Kw::Skip},
    {"atnicn", Kw::Skip},
    {"atnid", Kw::Skip},
    {"atnparent", Kw::Skip},
    {"atnref", Kw::Skip},
    {"atntime", Kw::Skip},
    {"atrfend", Kw::Skip},
    {"atrfstart", Kw::Skip},
    {"author", Kw::Skip},
    {"b", Kw::Bold},
    {"background", Kw::Skip},
    {"bin", Kw::Bin},
    {"bkmkend", Kw::Skip},
    {"bkmkstart", Kw::Skip},
    {"blipuid", Kw::Skip},
    {"blue", Kw::Blue},
    {"bullet", Kw::Char, 0x2022},
    {"buptim", Kw::Skip},
    {"category", Kw::Skip},
    {"cell", Kw::Char, '\t'},
    {"cf", Kw::Color},
    {"colorschememapping", Kw::Skip},
    {"colortbl", Kw::ColorTable},
    {"comment", Kw::Skip},
    {"company", Kw::Skip},
    {"cpg", Kw::FontCodePage},
    {"creatim", Kw::Skip},
    {"datafield", Kw::Skip},
    {"datastore", Kw::Skip},
    {"defchp", Kw::Skip},
    {"deff", Kw::DefaultFont},
    {"defpap", Kw::Skip},
    {"do", Kw::Skip},
    {"doccomm", Kw::Skip},
    {"docvar", Kw::Skip},
    {"dptxbxtext", Kw::Skip},
    {"emdash", Kw::Char, 0x2014},
    {"emspace", Kw::Char, 0x2003},
    {"endash", Kw::Char, 0x2013},
    {"enspace", Kw::Char, 0x2002},
    {"f", Kw::Font},
    {"falt", Kw::Skip},
    {"fchars", Kw::Skip},
    {"fcharset", Kw::FontCharset},
    {"ffdeftext", Kw::Skip},
    {"ffentrymcr", Kw::Skip},
    {"ffexitmcr", Kw::Skip},
    {"ffformat", Kw::Skip},
    {"ffhelptext", Kw::Skip},
    {"ffl", Kw::Skip},
    {"ffname", Kw::Skip},
    {"ffstattext", Kw::Skip},
    {"field", Kw::Text},
    {"file", Kw::Skip},
    {"filetbl", Kw::Skip},
    {"fldinst", Kw::Skip},
    {"fldrslt", Kw::Text},
    {"fldtype", Kw::Skip},
    {"fname", Kw::Skip},
    {"fontemb", Kw::Skip},
    {"fontfile", Kw::Skip},
    {"fonttbl", Kw::FontTable},
    {"footer", Kw::Skip},
    {"footerf", Kw::Skip},
    {"footerl", Kw::Skip},
    {"footerr", Kw::Skip},
    {"footnote", Kw::Skip},
    {"formfield", Kw::Skip},
    {"fs", Kw::FontSize},
    {"ftncn", Kw::Skip},
    {"ftnsep", Kw::Skip},
    {"ftnsepc", Kw::Skip},
    {"g", Kw::Skip},
    {"generator", Kw::Skip},
    {"green", Kw::Green},
    {"gridtbl", Kw::Skip},
    {"header", Kw::Skip},
    {"headerf", Kw::Skip},
    {"headerl", Kw::Skip},
    {"headerr", Kw::Skip},
    {"hl", Kw::Skip},
    {"hlfr", Kw::Skip},
    {"hlinkbase", Kw::Skip},
    {"hlloc", Kw::Skip},
    {"hlsrc", Kw::Skip},
    {"hsv", Kw::Skip},
    {"i", Kw::Italic},
    {"info", Kw::Skip},
    {"keycode", Kw::Skip},
    {"keywords", Kw::Skip},
    {"latentstyles", Kw::Skip},
    {"lchars", Kw::Skip},
    {"ldblquote", Kw::Char, 0x201C},
    {"levelnumbers", Kw::Skip},
    {"leveltext", Kw::Skip},
    {"lfolevel", Kw::Skip},
    {"line", Kw::Char, 0x2028},
    {"linkval", Kw::Skip},
    {"list", Kw::Skip},
    {"listlevel", Kw::Skip},
    {"listname", Kw::Skip},
    {"listoverride", Kw::Skip},
    {"listoverridetable", Kw::Skip},
    {"listpicture", Kw::Skip},
    {"liststylename", Kw::Skip},
    {"listtable", Kw::Skip},
    {"listtext", Kw::Skip},
    {"lquote", Kw::Char, 0x2018},
    {"ltrmark", Kw::Char, 0x200E},
    {"mac", Kw::CharSet, 10000},
    {"manager", Kw::Skip},
    {"mmathPr", Kw::Skip},
    {"nestcell", Kw::Char, '\t'},
    {"nestrow", Kw::Char, '\n'},
    {"nesttableprops", Kw::Skip},
    {"nextfile", Kw::Skip},
    {"nonesttables", Kw::Skip},
    {"nonshppict", Kw::Skip},
    {"objalias", Kw::Skip},
    {"objclass", Kw::Skip},
    {"objdata", Kw::Skip},
    {"objname", Kw::Skip},
    {"objsect", Kw::Skip},
    {"objtime", Kw::Skip},
    {"oldcprops", Kw::Skip},
    {"oldpprops", Kw::Skip},
    {"oldsprops", Kw::Skip},
    {"oldtprops", Kw::Skip},
    {"operator", Kw::Skip},
    {"panose", Kw::Skip},
    {"par", Kw::Char, '\n'},
    {"password", Kw::Skip},
    {"passwordhash", Kw::Skip},
    {"pc", Kw::CharSet, 437},
    {"pca", Kw::CharSet, 850},
    {"pgdsctbl", Kw::Skip},
    {"pgptbl", Kw::Skip},
    {"picprop", Kw::Skip},
    {"pict", Kw::Skip},
    {"plain", Kw::Plain},
    {"pn", Kw::Skip},
    {"pnseclvl", Kw::Skip},
    {"pntext", Kw::Skip},
    {"pntxta", Kw::Skip},
    {"pntxtb", Kw::Skip},
    {"printim", Kw::Skip},
    {"private", Kw::Skip},
    {"propname", Kw::Skip},
    {"protusertbl", Kw::Skip},
    {"pxe", Kw::Skip},
    {"qmspace", Kw::Char, 0x2005},
    {"rdblquote", Kw::Char, 0x201D},
    {"red", Kw::Red},
    {"result", Kw::Text},
    {"revtbl", Kw::Skip},
    {"revtim", Kw::Skip},
    {"row", Kw::Char, '\n'},
    {"rquote", Kw::Char, 0x2019},
    {"rsidtbl", Kw::Skip},
    {"rtlmark", Kw::Char, 0x200F},
    {"rxe", Kw::Skip},
    {"sect", Kw::Char, '\n'},
    {"shp", Kw::Skip},
    {"shpgrp", Kw::Skip},
    {"shpinst", Kw::Skip},
    {"shppict", Kw::Skip},
    {"shprslt", Kw::Skip},
    {"shptxt", Kw::Skip},
    {"sn", Kw::Skip},
    {"sp", Kw::Skip},
    {"stylesheet", Kw::Skip},
    {"subject", Kw::Skip},
    {"sv", Kw::Skip},
    {"tab", Kw::Char, '\t'},
    {"tc", Kw::Skip},
    {"tcn", Kw::Skip},
    {"template", Kw::Skip},
    {"themedata", Kw::Skip},
    {"title", Kw::Skip},
    {"txe", Kw::Skip},
    {"u", Kw::Unicode},
    {"uc", Kw::UnicodeSkip},
    {"ud", Kw::Skip},
    {"ul", Kw::Underline},
    {"uld", Kw::Underline},
    {"uldash", Kw::Underline},
    {"uldashd", Kw::Underline},
    {"uldashdd", Kw::Underline},
    {"uldb", Kw::Underline},
    {"ulhair", Kw::Underline},
    {"ulhwave", Kw::Underline},
    {"ulldash", Kw::Underline},
    {"ulnone", Kw::UnderlineOff},
    {"ulth", Kw::Underline},
    {"ulthd", Kw::Underline},
    {"ulthdash", Kw::Underline},
    {"ulthdashd", Kw::Underline},
    {"ulthdashdd", Kw::Underline},
    {"ulthldash", Kw::Underline},
    {"ululdbwave", Kw::Underline},
    {"ulw", Kw::Underline},
    {"ulwave", Kw::Underline},
    {"userprops", Kw::Skip},
    {"wgrffmtfilter", Kw::Skip},
    {"windowcaption", Kw::Skip},
    {"writereservation", Kw::Skip},
    {"writereservhash", Kw::Skip},
    {"xe", Kw::Skip},
    {"xform", Kw::Skip},
    {"xmlattrname", Kw::Skip},
    {"xmlattrvalue", Kw::Skip},
    {"xmlclose", Kw::Skip},
    {"xmlname", Kw::Skip},
    {"xmlnstbl", Kw::Skip},
    {"xmlopen", Kw::Skip},
    {"zwbo", Kw::Char, 0x200B},
    {"zwj", Kw::Char, 0x200D},
    {"zwnj", Kw::Char, 0x200C},
};

static_assert(std::is_sorted(std::begin(kKeywords), std::end(kKeywords),
                             [](const Keyword &a, const Keyword &b) { return a.name < b.name; }));

const Keyword *findKeyword(std::string_view name)
{
    const auto it = std::lower_bound(std::begin(kKeywords), std::end(kKeywords), name,
                                     [](const Keyword &k, std::string_view n) { return k.name < n; });
    return it != std::end(kKeywords) && it->name == name ? it : nullptr;
}

// Code page of a font's \fcharset; 0 when the document's code page applies.
int charsetCodePage(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252; // symbol fonts: the bytes are glyph numbers, keep them visible
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 437;
    default: return 0;
    }
}

int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// The character format of a group as the reader tracks it: indices into the
// tables, resolved to names and colours only when a run is stored.
struct FormatKey {
    int font = -1; // -1: the default font
    int color = 0;
    int halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    friend bool operator==(const FormatKey &, const FormatKey &) = default;
};

struct GroupState {
    FormatKey format;
    Dest dest = Dest::Text;
    bool star = false; // "\*" seen: an unknown destination word that follows is skipped
    int unicodeSkip = 1;
};

struct Font {
    QString name;
    int codePage = 0; // 0: the document's code page
    bool named = false;
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : p_(reinterpret_cast<const unsigned char *>(bytes.data())), end_(p_ + bytes.size())
    {
    }

    RtfDocument read();

private:
    GroupState &top() { return stack_.back(); }

    void openGroup();
    bool closeGroup(); // false once the document's own group has closed
    void controlWord();
    void controlSymbol(unsigned char c);
    void keyword(std::string_view name, bool hasParam, int param);
    void tableText(unsigned char c);
    void skipBinary(int count);
    bool skipFallback(); // true when the token just read was a skipped fallback character

    void sync();
    void emitChar(char16_t c);
    void emitUnit(char16_t unit);
    void emitAscii(const unsigned char *begin, const unsigned char *end);
    void emitByte(unsigned char b);
    void flushBytes();
    void flushRun();
    void settleSurrogate();

    int documentCodePage() const;
    int fontCodePage(int font) const;
    void commitFont();
    void commitColor();

    const unsigned char *p_;
    const unsigned char *end_;
    std::vector<GroupState> stack_;
    std::size_t overflow_ = 0; // groups opened past kMaxDepth and not yet closed
    int skip_ = 0;             // \u fallback characters still to skip

    // Output: the run being built is text_ followed by the undecoded bytes_.
    RtfDocument doc_;
    QString text_;
    QByteArray bytes_;
    bool expectTrail_ = false;
    char16_t highSurrogate_ = 0;
    FormatKey runFormat_;
    int runCodePage_ = 1252;
    bool dirty_ = true;

    // Document tables.
    QHash<int, Font> fonts_;
    std::vector<QColor> colors_;
    int charsetCodePage_ = 1252;
    int ansiCodePage_ = 0;
    int defaultFont_ = -1;

    // The font table entry being read.
    int tableFont_ = -1;
    QByteArray fontName_;
    // The colour table entry being read.
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    bool colorGiven_ = false;
};

RtfDocument Reader::read()
{
    // The input starts with '{' and reading ends when that group closes, so
    // inside the loop the stack is never empty.
    stack_.reserve(64);
    stack_.emplace_back();
    ++p_;
    while (p_ < end_) {
        if (top().dest == Dest::Skip) {
            // Nothing here is text: hop to the next byte that can matter.
            while (p_ < end_ && *p_ != '{' && *p_ != '}' && *p_ != '\\')
                ++p_;
            if (p_ == end_)
                break;
        }
        const unsigned char c = *p_;
        if (c == '{') {
            ++p_;
            openGroup();
        } else if (c == '}') {
            ++p_;
            if (!closeGroup())
                break;
        } else if (c == '\\') {
            ++p_;
            if (p_ == end_)
                break;
            if (isLetter(*p_))
                controlWord();
            else
                controlSymbol(*p_++);
        } else if (c == '\r' || c == '\n' || c == 0) {
            ++p_; // line ends in the source are not text
        } else {
            ++p_;
            if (skipFallback())
                continue;
            switch (top().dest) {
            case Dest::Text:
                if (c >= 0x80) {
                    emitByte(c);
                } else if (c >= 0x20 || c == '\t') {
                    // Plain text comes in long stretches: take them whole.
                    const unsigned char *start = p_ - 1;
                    while (p_ < end_ && *p_ >= 0x20 && *p_ < 0x80 && *p_ != '\\' && *p_ != '{' && *p_ != '}')
                        ++p_;
                    emitAscii(start, p_);
                }
                break;
            case Dest::FontTable:
            case Dest::ColorTable:
                tableText(c);
                break;
            case Dest::Skip:
                break;
            }
        }
    }
    flushRun();
    // The last paragraph mark ends the document rather than adding an empty paragraph.
    if (!doc_.runs.empty() && doc_.runs.back().text.endsWith(u'\n')) {
        doc_.runs.back().text.chop(1);
        if (doc_.runs.back().text.isEmpty())
            doc_.runs.pop_back();
    }
    return std::move(doc_);
}

void Reader::openGroup()
{
    skip_ = 0;
    if (stack_.size() >= kMaxDepth) {
        ++overflow_;
        return;
    }
    GroupState state = top();
    state.star = false;
    stack_.push_back(state);
}

bool Reader::closeGroup()
{
    skip_ = 0;
    if (overflow_ > 0) {
        --overflow_;
        return true;
    }
    const Dest closing = top().dest;
    stack_.pop_back();
    if (stack_.empty())
        return false;
    if (closing == Dest::FontTable) {
        commitFont();
        tableFont_ = -1;
    } else if (closing == Dest::ColorTable && top().dest != Dest::ColorTable && colorGiven_) {
        commitColor(); // the last entry may lack its ';'
    }
    dirty_ = true; // the format (or, after the font table, a code page) may differ now
    return true;
}

void Reader::controlWord()
{
    char name[kMaxKeyword];
    std::size_t length = 0;
    while (p_ < end_ && isLetter(*p_)) {
        if (length < kMaxKeyword)
            name[length] = char(*p_);
        ++length;
        ++p_;
    }
    bool hasParam = false;
    bool negative = false;
    std::int64_t value = 0;
    if (p_ < end_ && *p_ == '-' && p_ + 1 < end_ && isDigit(p_[1])) {
        negative = true;
        ++p_;
    }
    while (p_ < end_ && isDigit(*p_)) {
        hasParam = true;
        value = std::min<std::int64_t>(value * 10 + (*p_ - '0'), kMaxParam);
        ++p_;
    }
    if (p_ < end_ && *p_ == ' ')
        ++p_;
    const int param = int(negative ? -value : value);

    if (top().dest == Dest::Skip) {
        // Only binary data can hide braces from a skipped destination.
        if (length == 3 && std::memcmp(name, "bin", 3) == 0 && hasParam)
            skipBinary(param);
        return;
    }
    if (skipFallback()) {
        if (length == 3 && std::memcmp(name, "bin", 3) == 0 && hasParam)
            skipBinary(param);
        return;
    }
    if (length > kMaxKeyword) {
        top().star = false;
        return;
    }
    keyword(std::string_view(name, length), hasParam, param);
}

void Reader::keyword(std::string_view name, bool hasParam, int param)
{
    GroupState &state = top();
    const Keyword *known = findKeyword(name);
    const bool star = std::exchange(state.star, false);
    if (!known) {
        if (star)
            state.dest = Dest::Skip;
        return;
    }
    const bool on = !hasParam || param != 0;
    switch (known->kind) {
    case Kw::Skip:
        state.dest = Dest::Skip;
        return;
    case Kw::Text:
        if (state.dest != Dest::Text)
            state.dest = Dest::Skip;
        return;
    case Kw::FontTable:
        state.dest = Dest::FontTable;
        tableFont_ = -1;
        fontName_.clear();
        return;
    case Kw::ColorTable:
        state.dest = Dest::ColorTable;
        colors_.clear();
        red_ = green_ = blue_ = 0;
        colorGiven_ = false;
        return;
    default:
        break;
    }
    if (star) {
        // A word we know that is not a destination: the writer marked it ignorable.
        state.dest = Dest::Skip;
        return;
    }

    switch (known->kind) {
    case Kw::Char:
        if (state.dest == Dest::Text)
            emitChar(known->value);
        break;
    case Kw::Bold:
        state.format.bold = on;
        dirty_ = true;
        break;
    case Kw::Italic:
        state.format.italic = on;
        dirty_ = true;
        break;
    case Kw::Underline:
        state.format.underline = on;
        dirty_ = true;
        break;
    case Kw::UnderlineOff:
        state.format.underline = false;
        dirty_ = true;
        break;
    case Kw::Plain:
        state.format = FormatKey();
        dirty_ = true;
        break;
    case Kw::FontSize:
        state.format.halfPoints = hasParam ? std::clamp(param, 0, 32767) : 24;
        dirty_ = true;
        break;
    case Kw::Font:
        if (state.dest == Dest::FontTable) {
            commitFont();
            if (hasParam && (fonts_.contains(param) || fonts_.size() < kMaxFonts)) {
                tableFont_ = param;
                fonts_[param];
            } else {
                tableFont_ = -1;
            }
        } else {
            state.format.font = hasParam ? std::max(param, -1) : -1;
            dirty_ = true;
        }
        break;
    case Kw::Color:
        state.format.color = hasParam ? std::max(param, 0) : 0;
        dirty_ = true;
        break;
    case Kw::Unicode: {
        if (!hasParam)
            break;
        std::int64_t code = param;
        if (code < 0 && code >= -32768)
            code += 65536; // writers emit 16-bit values as signed numbers
        if (state.dest == Dest::Text && code != 0) {
            if (code < 0 || code > 0x10FFFF) {
                emitChar(QChar::ReplacementCharacter);
            } else if (code > 0xFFFF) {
                emitChar(QChar::highSurrogate(char32_t(code)));
                emitChar(QChar::lowSurrogate(char32_t(code)));
            } else {
                emitChar(char16_t(code));
            }
        }
        skip_ = state.unicodeSkip;
        break;
    }
    case Kw::UnicodeSkip:
        state.unicodeSkip = hasParam ? std::clamp(param, 0, kMaxSkip) : 1;
        break;
    case Kw::Bin:
        if (hasParam)
            skipBinary(param);
        break;
    case Kw::CharSet:
        charsetCodePage_ = known->value;
        dirty_ = true;
        break;
    case Kw::AnsiCodePage:
        ansiCodePage_ = hasParam && param > 0 ? param : 0;
        dirty_ = true;
        break;
    case Kw::DefaultFont:
        defaultFont_ = hasParam ? param : -1;
        dirty_ = true;
        break;
    case Kw::FontCharset:
        if (state.dest == Dest::FontTable && tableFont_ >= 0 && hasParam)
            fonts_[tableFont_].codePage = charsetCodePage(param);
        break;
    case Kw::FontCodePage:
        if (state.dest == Dest::FontTable && tableFont_ >= 0 && hasParam && param > 0)
            fonts_[tableFont_].codePage = param;
        break;
    case Kw::Red:
        red_ = std::clamp(param, 0, 255);
        colorGiven_ = true;
        break;
    case Kw::Green:
        green_ = std::clamp(param, 0, 255);
        colorGiven_ = true;
        break;
    case Kw::Blue:
        blue_ = std::clamp(param, 0, 255);
        colorGiven_ = true;
        break;
    default:
        break;
    }
}

void Reader::controlSymbol(unsigned char c)
{
    if (c == '\'') {
        // \'hh; a malformed one still swallows its two characters, never a brace or backslash.
        int byte = 0;
        bool valid = true;
        for (int i = 0; i < 2; ++i) {
            if (p_ == end_ || *p_ == '{' || *p_ == '}' || *p_ == '\\') {
                valid = false;
                break;
            }
            const int digit = hexValue(*p_++);
            valid = valid && digit >= 0;
            byte = byte * 16 + std::max(digit, 0);
        }
        if (skipFallback() || !valid)
            return;
        if (top().dest == Dest::Text)
            emitByte(static_cast<unsigned char>(byte));
        else if (top().dest == Dest::FontTable || top().dest == Dest::ColorTable)
            tableText(static_cast<unsigned char>(byte));
        return;
    }
    if (top().dest == Dest::Skip)
        return;
    if (c == '*') {
        top().star = true;
        return;
    }
    if (skipFallback())
        return;
    top().star = false;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (top().dest == Dest::Text)
            emitAscii(p_ - 1, p_);
        else
            tableText(c);
        break;
    case '\r':
    case '\n':
        if (top().dest == Dest::Text)
            emitChar(u'\n');
        break;
    case '~':
        if (top().dest == Dest::Text)
            emitChar(0x00A0);
        break;
    case '-':
        if (top().dest == Dest::Text)
            emitChar(0x00AD);
        break;
    case '_':
        if (top().dest == Dest::Text)
            emitChar(0x2011);
        break;
    default:
        break; // \:, \|, and symbols nobody defined
    }
}

void Reader::tableText(unsigned char c)
{
    if (top().dest == Dest::FontTable) {
        if (c == ';')
            commitFont();
        else if (tableFont_ >= 0 && fontName_.size() < kMaxFontName)
            fontName_.append(char(c));
    } else if (c == ';') {
        commitColor();
    }
}

void Reader::skipBinary(int count)
{
    if (count > 0)
        p_ += std::min<std::ptrdiff_t>(count, end_ - p_);
}

bool Reader::skipFallback()
{
    if (skip_ == 0)
        return false;
    --skip_;
    return true;
}

void Reader::commitFont()
{
    if (tableFont_ >= 0 && !fontName_.isEmpty()) {
        Font &font = fonts_[tableFont_];
        if (!font.named) {
            const int codePage = font.codePage ? font.codePage : documentCodePage();
            font.name = decodeCodePage(codePage, fontName_).trimmed();
            font.named = true;
        }
    }
    fontName_.clear();
}

void Reader::commitColor()
{
    if (colors_.size() < kMaxColors)
        colors_.push_back(colorGiven_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
}

int Reader::documentCodePage() const
{
    return ansiCodePage_ ? ansiCodePage_ : charsetCodePage_;
}

int Reader::fontCodePage(int font) const
{
    const auto it = fonts_.constFind(font >= 0 ? font : defaultFont_);
    return it != fonts_.constEnd() && it->codePage ? it->codePage : documentCodePage();
}

// Brings the run being built up to the current format and code page.
void Reader::sync()
{
    if (!dirty_)
        return;
    dirty_ = false;
    const FormatKey &format = top().format;
    const int codePage = fontCodePage(format.font);
    if (!(format == runFormat_)) {
        flushRun();
        runFormat_ = format;
    } else if (codePage != runCodePage_) {
        flushBytes();
    }
    runCodePage_ = codePage;
}

void Reader::emitChar(char16_t c)
{
    sync();
    flushBytes();
    emitUnit(c);
}

// Keeps UTF-16 well formed: a surrogate half without its partner becomes U+FFFD.
void Reader::emitUnit(char16_t unit)
{
    if (QChar::isLowSurrogate(unit)) {
        if (highSurrogate_) {
            text_ += QChar(highSurrogate_);
            text_ += QChar(unit);
            highSurrogate_ = 0;
        } else {
            text_ += QChar(QChar::ReplacementCharacter);
        }
        return;
    }
    settleSurrogate();
    if (QChar::isHighSurrogate(unit))
        highSurrogate_ = unit;
    else
        text_ += QChar(unit);
}

void Reader::settleSurrogate()
{
    if (highSurrogate_) {
        text_ += QChar(QChar::ReplacementCharacter);
        highSurrogate_ = 0;
    }
}

void Reader::emitAscii(const unsigned char *begin, const unsigned char *end)
{
    sync();
    const auto *chars = reinterpret_cast<const char *>(begin);
    const qsizetype count = end - begin;
    if (!bytes_.isEmpty()) {
        // Joins the pending bytes: its first byte may be the trail of a double-byte character.
        bytes_.append(chars, count);
        expectTrail_ = false;
        return;
    }
    settleSurrogate();
    text_.append(QLatin1StringView(chars, count));
}

void Reader::emitByte(unsigned char b)
{
    sync();
    settleSurrogate();
    bytes_.append(char(b));
    if (expectTrail_)
        expectTrail_ = false;
    else
        expectTrail_ = isLeadByte(runCodePage_, b);
}

void Reader::flushBytes()
{
    if (bytes_.isEmpty())
        return;
    text_ += decodeCodePage(runCodePage_, bytes_);
    bytes_.resize(0); // keeps the capacity for the next run
    expectTrail_ = false;
}

void Reader::flushRun()
{
    flushBytes();
    settleSurrogate();
    if (text_.isEmpty())
        return;
    RtfCharFormat format;
    const FormatKey &key = runFormat_;
    format.bold = key.bold;
    format.italic = key.italic;
    format.underline = key.underline;
    format.halfPoints = key.halfPoints;
    if (key.color > 0 && std::size_t(key.color) < colors_.size())
        format.color = colors_[std::size_t(key.color)];
    else if (key.color == 0 && !colors_.empty())
        format.color = colors_.front();
    if (key.font >= 0) {
        const auto it = fonts_.constFind(key.font);
        if (it != fonts_.constEnd())
            format.fontName = it->name;
    }
    // Short runs (a format change every few characters) get an exact copy and
    // text_ keeps its buffer; long ones hand their buffer over.
    if (text_.size() < 1024) {
        doc_.append(QString(text_.constData(), text_.size()), format);
        text_.resize(0);
    } else {
        doc_.append(text_, format);
        text_.clear();
    }
}

} // namespace

bool looksLikeRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

RtfDocument readRtf(QByteArrayView bytes)
{
    if (!looksLikeRtf(bytes))
        throw ParseError("not an RTF document");
    return Reader(bytes).read();
}

} // namespace tavi
