#pragma once

#include "formats/RtfDocument.h"

#include <QString>
#include <QTextBlock>

class QFont;
class QTextCharFormat;
class QTextDocument;

// Between Qt's text document, which the day box edits, and the RTF codec's
// format-neutral document. QtGui only: no widget is needed.
namespace tavi {

// The document's text and character formats. Text without a format of its
// own is taken to be in base, the font of the box that shows it.
RtfDocument rtfDocumentOf(const QTextDocument &document, const QFont &base);

// One character format of a Qt document as the RTF codec's, resolved against base.
RtfCharFormat rtfCharFormat(const QTextCharFormat &format, const QFont &base);

// Calls run(text, formatIndex, format) for each run of the paragraph as a note
// holds them: its fragments without their object characters, then the
// paragraph break, which carries the next paragraph's first format. format()
// gives the QTextCharFormat of formatIndex, for a caller that has not
// converted that index yet.
template <typename Run>
void forEachRun(const QTextBlock &block, Run run)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        QString text = fragment.text();
        text.remove(QChar::ObjectReplacementCharacter);
        if (!text.isEmpty())
            run(text, fragment.charFormatIndex(), [&fragment] { return fragment.charFormat(); });
    }
    if (const QTextBlock next = block.next(); next.isValid())
        run(QStringLiteral("\n"), next.charFormatIndex(), [&next] { return next.charFormat(); });
}

// Replaces the document's whole content; no undo step is recorded.
void setRtfDocument(QTextDocument &document, const RtfDocument &rtf);

// The characters without formatting, paragraph and line breaks as CR LF.
QString plainTextCrLf(const QTextDocument &document);

// Text with CR LF, CR or LF line ends as a document of one unformatted run.
RtfDocument plainTextDocument(const QString &text);

} // namespace tavi
