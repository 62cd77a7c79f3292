#include "widgets/RichEdit.h"

#include "formats/RtfReader.h"
#include "formats/RtfWriter.h"
#include "formats/TextCodec.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <unordered_map>

namespace tavi {
namespace {

RtfCharFormat toRtfFormat(const QTextCharFormat &format, const QFont &base)
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

RichEdit::RichEdit(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false); // pasted HTML must not bring foreign layout into a note
    setFrameShape(QFrame::NoFrame);
    // The RTF is stale before anyone hears of the change: a save may run inside changed().
    connect(this, &QTextEdit::textChanged, this, [this] {
        rtfStale_ = true;
        emit changed();
    });
    // Also changes made while this box's signals are blocked (loading).
    connect(document(), &QTextDocument::contentsChanged, this, [this] { rtfStale_ = true; });
}

RtfDocument RichEdit::richText() const
{
    RtfDocument doc;
    const QFont base = font();
    const QTextDocument *content = document();
    // A box has a handful of formats shared by many fragments: each is converted once.
    std::unordered_map<int, RtfCharFormat> formats;
    auto rtfFormat = [&](int index, auto charFormat) -> const RtfCharFormat & {
        auto found = formats.find(index);
        if (found == formats.end())
            found = formats.emplace(index, toRtfFormat(charFormat(), base)).first;
        return found->second;
    };
    for (QTextBlock block = content->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            QString text = fragment.text();
            text.remove(QChar::ObjectReplacementCharacter);
            doc.append(text, rtfFormat(fragment.charFormatIndex(), [&] { return fragment.charFormat(); }));
        }
        // The paragraph break is the separator that opens the next block and carries its char format.
        const QTextBlock next = block.next();
        if (next.isValid())
            doc.append(QStringLiteral("\n"), rtfFormat(next.charFormatIndex(), [&] { return next.charFormat(); }));
    }
    return doc;
}

void RichEdit::setRichText(const RtfDocument &doc)
{
    QTextDocument *content = document();
    const bool undo = content->isUndoRedoEnabled();
    content->setUndoRedoEnabled(false); // loading is no edit to undo
    {
        const QSignalBlocker quiet(this); // one change event for the whole load
        content->clear();
        QTextCursor cursor(content);
        cursor.beginEditBlock();
        for (const RtfRun &run : doc.runs)
            cursor.insertText(run.text, toQtFormat(run.format));
        cursor.endEditBlock();
    }
    content->setUndoRedoEnabled(undo);
    setTextCursor(QTextCursor(content)); // caret at the start, as after loading a note
    emit changed();
}

QByteArray RichEdit::rtf() const
{
    if (rtfStale_) {
        cachedRtf_ = writeRtf(richText());
        rtfStale_ = false;
    }
    return cachedRtf_;
}

void RichEdit::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        rtfStale_ = true; // unformatted text is written in the box's font
}

void RichEdit::loadContent(QByteArrayView bytes)
{
    if (looksLikeRtf(bytes)) {
        try {
            setRichText(readRtf(bytes));
            return;
        } catch (const ParseError &) {
            // not RTF after all: read the same bytes as plain text below
        }
    }
    setContentText(decodeGbk(bytes));
}

QString RichEdit::plainTextCrLf() const
{
    // The raw text: toPlainText() would turn no-break spaces into blanks.
    QString text = document()->toRawText();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

void RichEdit::setContentText(const QString &text)
{
    RtfDocument doc;
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    doc.append(normalised, RtfCharFormat{});
    setRichText(doc);
}

void RichEdit::deleteSelection()
{
    textCursor().removeSelectedText();
}

void RichEdit::replaceSelection(const QString &text)
{
    QTextDocument *content = document();
    content->setUndoRedoEnabled(false);
    textCursor().insertText(text);
    content->setUndoRedoEnabled(true);
}

void RichEdit::setSelectionColor(const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    mergeCurrentCharFormat(format);
}

void RichEdit::setHideSelectionOnFocusLoss(bool hide)
{
    hideSelection_ = hide;
    updateSelectionPalette();
}

void RichEdit::setBackgroundColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
    updateSelectionPalette();
}

void RichEdit::updateSelectionPalette()
{
    QPalette pal = palette();
    const QPalette defaults = QPalette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 hideSelection_ ? pal.color(QPalette::Base) : defaults.color(QPalette::Inactive, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 hideSelection_ ? pal.color(QPalette::Text)
                                : defaults.color(QPalette::Inactive, QPalette::HighlightedText));
    setPalette(pal);
}

void RichEdit::contextMenuEvent(QContextMenuEvent *event)
{
    setFocus(Qt::OtherFocusReason);
    if (contextMenu_)
        contextMenu_->popup(event->globalPos());
    else
        QTextEdit::contextMenuEvent(event);
}

void RichEdit::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    // Switching windows or opening a menu keeps the focus within the box.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

} // namespace tavi
