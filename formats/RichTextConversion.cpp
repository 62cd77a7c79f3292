#include "formats/RichTextConversion.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <unordered_map>

namespace tavi {

RtfCharFormat rtfCharFormat(const QTextCharFormat &format, const QFont &base)
{
    RtfCharFormat result;
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        result.color = format.foreground().color();
    result.bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::Bold : base.bold();
    result.italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic();
    // Qt keeps underline as an underline style (FontUnderline is only its legacy alias).
    result.underline =
        format.hasProperty(QTextFormat::TextUnderlineStyle) ? format.fontUnderline() : base.underline();
    const QFont font = format.font().resolve(base);
    double points = font.pointSizeF();
    if (points <= 0)
        points = font.pixelSize() * 72.0 / 96.0;
    result.halfPoints = std::max(1, int(std::lround(points * 2)));
    const QStringList families = format.fontFamilies().toStringList();
    result.fontName = families.isEmpty() ? base.family() : families.first();
    return result;
}

namespace {

QTextCharFormat toQtFormat(const RtfCharFormat &format)
{
    QTextCharFormat result;
    if (format.color.isValid())
        result.setForeground(format.color);
    if (format.bold)
        result.setFontWeight(QFont::Bold);
    if (format.italic)
        result.setFontItalic(true);
    if (format.underline)
        result.setFontUnderline(true);
    if (format.halfPoints > 0)
        result.setFontPointSize(format.halfPoints / 2.0);
    if (!format.fontName.isEmpty())
        result.setFontFamilies(QStringList{format.fontName});
    return result;
}

} // namespace

RtfDocument rtfDocumentOf(const QTextDocument &document, const QFont &base)
{
    RtfDocument doc;
    // A box has a handful of formats shared by many fragments: each is converted once.
    std::unordered_map<int, RtfCharFormat> formats;
    auto rtfFormat = [&](int index, auto charFormat) -> const RtfCharFormat & {
        auto found = formats.find(index);
        if (found == formats.end())
            found = formats.emplace(index, rtfCharFormat(charFormat(), base)).first;
        return found->second;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        forEachRun(block, [&](const QString &text, int index, auto charFormat) { doc.append(text, rtfFormat(index, charFormat)); });
    return doc;
}

void setRtfDocument(QTextDocument &document, const RtfDocument &rtf)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false); // loading is no edit to undo
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const RtfRun &run : rtf.runs)
        cursor.insertText(run.text, toQtFormat(run.format));
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

QString plainTextCrLf(const QTextDocument &document)
{
    // The raw text: toPlainText() would turn no-break spaces into blanks.
    QString text = document.toRawText();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

RtfDocument plainTextDocument(const QString &text)
{
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    RtfDocument doc;
    doc.append(normalised, RtfCharFormat{});
    return doc;
}

} // namespace tavi
