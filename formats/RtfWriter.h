#pragma once

#include "formats/RtfDocument.h"

#include <QByteArray>
#include <QList>
#include <QStringView>

namespace tavi {

// Writes doc as one RTF document in the dialect of the Windows rich edit
// control (\ansi\ansicpg936, GBK bytes as \'hh, \uN? for characters outside
// GBK). The same document always gives the same bytes.
QByteArray writeRtf(const RtfDocument &doc);

// The same document in parts, for a writer that keeps the RTF of paragraphs
// that did not change: writeRtf(doc) is rtfHeader(tables) followed by
// appendRtfRun for every run from a fresh state, then rtfEnd(state), where
// tables holds every run's format in document order.

// The font and colour tables: each distinct font and colour in order of first use.
struct RtfTables {
    QList<QString> fonts;
    QList<QRgb> colours;
    void add(const RtfCharFormat &format);
    int fontIndex(const RtfCharFormat &format) const;
    int colourIndex(const RtfCharFormat &format) const; // 0: the automatic colour
    friend bool operator==(const RtfTables &, const RtfTables &) = default;
};

// The character format the reader is in after what was written so far:
// control words are written only when it changes.
struct RtfWriterState {
    int font = 0;
    int halfPoints = -1; // nothing written yet
    int colour = 0;
    bool bold = false, italic = false, underline = false;
    bool pendingSpace = false; // a control word needs a blank before text
    friend bool operator==(const RtfWriterState &, const RtfWriterState &) = default;
};

QByteArray rtfHeader(const RtfTables &tables);
// Text in one format; '\n' ends a paragraph.
void appendRtfRun(QByteArray &out, RtfWriterState &state, const RtfTables &tables, QStringView text,
                  const RtfCharFormat &format);
QByteArray rtfEnd(RtfWriterState state);

} // namespace tavi
