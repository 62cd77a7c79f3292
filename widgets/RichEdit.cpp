#include "widgets/RichEdit.h"

#include "formats/RichTextConversion.h"
#include "formats/IncrementalRtfWriter.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tavi {

RichEdit::RichEdit(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false); // pasted HTML must not bring foreign layout into a note
    setFrameShape(QFrame::NoFrame);
    connect(this, &QTextEdit::textChanged, this, &RichEdit::changed);
}

RichEdit::~RichEdit() = default;

RtfDocument RichEdit::richText() const
{
    return rtfDocumentOf(*document(), font());
}

void RichEdit::setRichText(const RtfDocument &doc)
{
    {
        const QSignalBlocker quiet(this); // one change event for the whole load
        setRtfDocument(*document(), doc);
    }
    setTextCursor(QTextCursor(document())); // caret at the start, as after loading a note
    emit changed();
}

QByteArray RichEdit::rtf() const
{
    if (!rtf_)
        rtf_ = std::make_unique<IncrementalRtfWriter>(document(), font());
    return rtf_->rtf();
}

void RichEdit::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange && rtf_)
        rtf_->setBaseFont(font()); // unformatted text is written in the box's font
}

QString RichEdit::plainTextCrLf() const
{
    return tavi::plainTextCrLf(*document());
}

void RichEdit::setContentText(const QString &text)
{
    setRichText(plainTextDocument(text));
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
