#include "formats/IncrementalRtfWriter.h"

#include "formats/RichTextConversion.h"

#include <QTextBlock>
#include <QTextDocument>

#include <vector>

namespace tavi {
namespace {

// What is kept of one paragraph: its runs' formats in order (the paragraph
// break is the last run, in the next paragraph's first format), and its RTF
// as written from the state `in` under tables of generation `generation`.
class ParagraphRtf : public QTextBlockUserData {
public:
    bool formatsValid = false;
    int nextFormatIndex = -1; // the next paragraph's format the break was taken in; -1 for the last one
    std::vector<RtfCharFormat> formats;
    int generation = -1;
    RtfWriterState in, out;
    QByteArray bytes;
};

ParagraphRtf *paragraphData(QTextBlock &block)
{
    auto *data = static_cast<ParagraphRtf *>(block.userData());
    if (!data) {
        data = new ParagraphRtf;
        block.setUserData(data);
    }
    return data;
}

// Calls run(text, format) for each run of the paragraph as rtfDocumentOf
// takes them: fragments without their object characters, then the break.
template <typename Run>
void forEachRun(const QTextBlock &block, const QFont &base, Run run)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        QString text = fragment.text();
        text.remove(QChar::ObjectReplacementCharacter);
        if (!text.isEmpty())
            run(text, rtfCharFormat(fragment.charFormat(), base));
    }
    const QTextBlock next = block.next();
    if (next.isValid())
        run(QStringLiteral("\n"), rtfCharFormat(next.charFormat(), base));
}

} // namespace

IncrementalRtfWriter::IncrementalRtfWriter(QTextDocument *document, const QFont &base)
    : document_(document), base_(base)
{
    // A document tells where it changed only once it has a layout.
    document->documentLayout();
    connect(document, &QTextDocument::contentsChange, this, &IncrementalRtfWriter::changed);
    // Any change at all, the document cleared among them, makes the whole anew.
    connect(document, &QTextDocument::contentsChanged, this, [this] { wholeValid_ = false; });
}

void IncrementalRtfWriter::setBaseFont(const QFont &base)
{
    base_ = base;
    wholeValid_ = false;
    // Every kept format was resolved against the old font.
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        if (auto *data = static_cast<ParagraphRtf *>(block.userData()))
            data->formatsValid = false;
    }
    ++generation_;
}

void IncrementalRtfWriter::changed(int position, int, int added)
{
    wholeValid_ = false;
    // The paragraphs the change touched, and the one before: its break takes the next paragraph's format.
    QTextBlock block = document_->findBlock(position);
    if (block.previous().isValid())
        block = block.previous();
    const QTextBlock last = document_->findBlock(position + added);
    for (; block.isValid(); block = block.next()) {
        if (auto *data = static_cast<ParagraphRtf *>(block.userData())) {
            data->formatsValid = false;
            data->generation = -1;
        }
        if (block == last)
            break;
    }
}

QByteArray IncrementalRtfWriter::rtf()
{
    if (wholeValid_)
        return whole_;

    // The tables follow the formats in document order.
    RtfTables tables;
    const RtfCharFormat *lastAdded = nullptr;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        ParagraphRtf *data = paragraphData(block);
        const QTextBlock next = block.next();
        const int nextFormat = next.isValid() ? next.charFormatIndex() : -1;
        if (!data->formatsValid || data->nextFormatIndex != nextFormat) {
            data->formats.clear();
            forEachRun(block, base_, [&](const QString &, const RtfCharFormat &format) { data->formats.push_back(format); });
            data->nextFormatIndex = nextFormat;
            data->formatsValid = true;
            data->generation = -1;
        }
        for (const RtfCharFormat &format : data->formats) {
            if (lastAdded && *lastAdded == format)
                continue;
            tables.add(format);
            lastAdded = &format;
        }
    }
    if (!(tables == tables_)) {
        tables_ = tables;
        ++generation_;
    }

    QByteArray out = rtfHeader(tables_);
    out.reserve(std::max(whole_.size(), out.size()) + 64);
    RtfWriterState state;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        auto *data = static_cast<ParagraphRtf *>(block.userData());
        if (data->generation != generation_ || !(data->in == state)) {
            data->in = state;
            data->bytes.clear();
            forEachRun(block, base_, [&](const QString &text, const RtfCharFormat &format) {
                appendRtfRun(data->bytes, state, tables_, text, format);
            });
            data->out = state;
            data->generation = generation_;
        }
        out += data->bytes;
        state = data->out;
    }
    out += rtfEnd(state);
    whole_ = out;
    wholeValid_ = true;
    return whole_;
}

} // namespace tavi
