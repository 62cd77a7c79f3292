#include "desktop/WallpaperQuoting.h"

#include <algorithm>

namespace tavi {

namespace {

QString hex4(char16_t unit)
{
    return QStringLiteral("\\u%1").arg(unsigned(unit), 4, 16, QLatin1Char('0'));
}

bool isAsciiAlnum(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

// Characters a shell word may hold without quoting, here and in sway's parser.
bool isPlainPathCharacter(QChar c)
{
    return c.unicode() >= 0x80 || isAsciiAlnum(c) || QStringLiteral("/._-+,@%:=").contains(c);
}

} // namespace

QString gvariantString(const QString &text)
{
    QString literal = QStringLiteral("'");
    for (const QChar c : text) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            literal += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            literal += hex4(c.unicode());
        else
            literal += c;
    }
    return literal + QLatin1Char('\'');
}

std::optional<QString> parseGVariantString(const QByteArray &printed)
{
    const QString text = QString::fromUtf8(printed).trimmed();
    if (text.size() < 2)
        return std::nullopt;
    const QChar quote = text.front();
    if ((quote != QLatin1Char('\'') && quote != QLatin1Char('"')) || text.back() != quote)
        return std::nullopt;

    QString value;
    const qsizetype end = text.size() - 1;
    for (qsizetype i = 1; i < end; ++i) {
        const QChar c = text.at(i);
        if (c == quote)
            return std::nullopt; // a second string follows
        if (c != QLatin1Char('\\')) {
            value += c;
            continue;
        }
        if (++i >= end)
            return std::nullopt;
        const QChar e = text.at(i);
        static const QString simple = QStringLiteral("abfnrtv");
        static const char16_t controls[] = {u'\a', u'\b', u'\f', u'\n', u'\r', u'\t', u'\v'};
        if (const qsizetype k = simple.indexOf(e); k >= 0) {
            value += QChar(controls[k]);
        } else if (e == QLatin1Char('u') || e == QLatin1Char('U')) {
            const int digits = e == QLatin1Char('u') ? 4 : 8;
            if (i + digits >= end)
                return std::nullopt;
            bool ok = false;
            const uint code = text.mid(i + 1, digits).toUInt(&ok, 16);
            if (!ok)
                return std::nullopt;
            value += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
            i += digits;
        } else {
            value += e;
        }
    }
    return value;
}

QString javaScriptString(const QString &text)
{
    QString literal = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            literal += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
            literal += hex4(c.unicode()); // raw line ends would end the literal
        else
            literal += c;
    }
    return literal + QLatin1Char('"');
}

std::optional<QString> swayPathArgument(const QString &path)
{
    if (std::all_of(path.begin(), path.end(), isPlainPathCharacter))
        return path;
    if (std::any_of(path.begin(), path.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }))
        return std::nullopt;

    // Inner layer: sway expands the path with wordexp(), so every special
    // character gets a backslash (which also keeps blanks from doubling up).
    QString word;
    for (const QChar c : path) {
        if (!isPlainPathCharacter(c))
            word += QLatin1Char('\\');
        word += c;
    }
    // Outer layer: sway's command parser keeps a double-quoted argument whole
    // and undoes \\ and \" in it.
    QString argument = QStringLiteral("\"");
    for (const QChar c : word) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            argument += QLatin1Char('\\');
        argument += c;
    }
    return argument + QLatin1Char('"');
}

QString shellWord(const QString &text)
{
    if (!text.isEmpty() && std::all_of(text.begin(), text.end(), isPlainPathCharacter))
        return text;
    QString word = text;
    return QLatin1Char('\'') + word.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

} // namespace tavi
