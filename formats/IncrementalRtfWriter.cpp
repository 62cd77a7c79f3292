#include "formats/IncrementalRtfWriter.h"

#include "formats/RichTextConversion.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace tavi {
namespace {

// What is kept of one paragraph: its runs' formats in order (the paragraph
// break is the last run, in the next paragraph's first format), and its RTF
// as written from the state `in` under tables of generation `generation`.
// A change of the paragraph or of the next one's start makes it stale.
class ParagraphRtf : public QTextBlockUserData {
public:
    bool formatsValid = false;
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
    tablesStale_ = true;
    ++generation_;
}

void IncrementalRtfWriter::changed(int position, int, int added)
{
    wholeValid_ = false;
    // The paragraphs the change touched, and the one before: its break takes the next paragraph's format.
    QTextBlock block = document_->findBlock(position);
    const QTextBlock last = document_->findBlock(position + added);
    if (block != last)
        tablesStale_ = true; // paragraphs came or went: the order formats are first used in may have changed
    if (block.previous().isValid())
        block = block.previous();
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

    // Each of the document's formats is converted once in a call.
    std::unordered_map<int, RtfCharFormat> converted;
    const auto convert = [&](int index, auto charFormat) -> const RtfCharFormat & {
        auto found = converted.find(index);
        if (found == converted.end())
            found = converted.emplace(index, rtfCharFormat(charFormat(), base_)).first;
        return found->second;
    };
    // The tables follow the formats in document order. They change only when
    // a paragraph's formats did, or paragraphs went: then they are taken anew.
    bool formatsChanged = document_->blockCount() != blockCount_;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        ParagraphRtf *data = paragraphData(block);
        if (data->formatsValid)
            continue;
        std::vector<RtfCharFormat> formats;
        forEachRun(block, [&](const QString &, int index, auto charFormat) { formats.push_back(convert(index, charFormat)); });
        formatsChanged = formatsChanged || formats != data->formats;
        data->formats = std::move(formats);
        data->formatsValid = true;
        data->generation = -1;
    }
    blockCount_ = document_->blockCount();
    if (formatsChanged || tablesStale_) {
        RtfTables tables;
        const RtfCharFormat *lastAdded = nullptr;
        for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
            for (const RtfCharFormat &format : static_cast<ParagraphRtf *>(block.userData())->formats) {
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
        tablesStale_ = false;
    }

    // Written into a buffer nobody holds any more, when there is one: a fresh
    // one of a few megabytes for every keystroke costs the page faults of
    // touching it all again. A buffer taken leaves the pool, so that the pool
    // keeps only buffers; each has room to grow for a while, so that typing
    // does not move it.
    QByteArray out;
    const auto spare = std::find_if(spares_.begin(), spares_.end(), [](const QByteArray &bytes) { return bytes.isDetached(); });
    if (spare != spares_.end()) {
        out.swap(*spare);
        spares_.erase(spare);
    }
    out.resize(0);
    out += rtfHeader(tables_);
    if (const qsizetype needed = std::max(whole_.size(), out.size()) + 64; out.capacity() < needed)
        out.reserve(needed + needed / 8);
    RtfWriterState state;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        auto *data = static_cast<ParagraphRtf *>(block.userData());
        if (data->generation != generation_ || !(data->in == state)) {
            data->in = state;
            data->bytes.clear();
            forEachRun(block, [&](const QString &text, int index, auto charFormat) {
                appendRtfRun(data->bytes, state, tables_, text, convert(index, charFormat));
            });
            data->out = state;
            data->generation = generation_;
        }
        out += data->bytes;
        state = data->out;
    }
    out += rtfEnd(state);
    spares_.push_back(std::move(whole_));
    if (spares_.size() > 3)
        spares_.erase(spares_.begin());
    whole_ = out;
    wholeValid_ = true;
    return whole_;
}

} // namespace tavi
