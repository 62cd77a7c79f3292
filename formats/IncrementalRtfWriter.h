#pragma once

#include "formats/RtfWriter.h"

#include <QByteArray>
#include <QFont>
#include <QObject>

#include <vector>

class QTextDocument;

namespace tavi {

// Keeps the RTF of a text document as writeRtf(rtfDocumentOf(document, base))
// writes it, byte for byte, while the document is edited: each paragraph's
// RTF is kept until the paragraph, its neighbour's first format, the state the
// writer enters it in or the font and colour tables change. A keystroke
// then costs the paragraphs it touched, not the whole document (the
// document's paragraphs are still walked once to join the parts).
class IncrementalRtfWriter : public QObject {
    Q_OBJECT
public:
    IncrementalRtfWriter(QTextDocument *document, const QFont &base);

    // Text without a format of its own is written in base: a new base font
    // makes every paragraph's RTF new.
    void setBaseFont(const QFont &base);
    QByteArray rtf();

private:
    void changed(int position, int removed, int added);

    QTextDocument *document_;
    QFont base_;
    QByteArray whole_;
    std::vector<QByteArray> spares_; // earlier wholes, to write the next one into once nobody holds them
    bool wholeValid_ = false;
    RtfTables tables_;
    bool tablesStale_ = true;
    int blockCount_ = 0;
    // Paragraph parts written under other tables or another base font are stale.
    int generation_ = 0;
};

} // namespace tavi
