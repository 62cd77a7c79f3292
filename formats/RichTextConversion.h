#pragma once

#include "formats/RtfDocument.h"

#include <QString>

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

// Replaces the document's whole content; no undo step is recorded.
void setRtfDocument(QTextDocument &document, const RtfDocument &rtf);

// The characters without formatting, paragraph and line breaks as CR LF.
QString plainTextCrLf(const QTextDocument &document);

// Text with CR LF, CR or LF line ends as a document of one unformatted run.
RtfDocument plainTextDocument(const QString &text);

} // namespace tavi
