// A week of six day boxes, each about 2 KB of Chinese text in several colour
// runs: writing the boxes' RTF (what every save does) and reading it back
// (what every load does). Then a corpus of real RTF files from other
// programs, read the way a day box reads a note.
#include "notes/DayNote.h"
#include "widgets/RichEdit.h"
#include "formats/RtfReader.h"
#include "formats/RtfWriter.h"
#include "formats/LineFile.h"
#include "formats/TextCodec.h"
#include "bench/WeekSample.h"

#include <benchmark/benchmark.h>

#include <QDir>

#include <array>
#include <memory>

namespace {

struct Week {
    std::array<std::unique_ptr<tavi::RichEdit>, 6> boxes;
    std::array<QByteArray, 6> rtf;
    Week()
    {
        for (int day = 0; day < 6; ++day) {
            boxes[day] = std::make_unique<tavi::RichEdit>();
            boxes[day]->setFont(QFont(QStringLiteral("宋体"), 9));
            boxes[day]->setRichText(tavi::bench::dayNotes(day));
            rtf[day] = boxes[day]->rtf();
        }
    }
};

void BM_WriteWeek(benchmark::State &state)
{
    Week week;
    for (auto _ : state) {
        for (const auto &box : week.boxes)
            benchmark::DoNotOptimize(box->rtf());
    }
    qsizetype total = 0;
    for (const QByteArray &rtf : week.rtf)
        total += rtf.size();
    state.counters["rtf_bytes"] = double(total);
}
BENCHMARK(BM_WriteWeek)->Unit(benchmark::kMicrosecond);

void BM_ReadWeek(benchmark::State &state)
{
    Week week;
    for (auto _ : state) {
        for (int day = 0; day < 6; ++day)
            week.boxes[day]->setRichText(tavi::DayNote(week.rtf[day]).document());
    }
}
BENCHMARK(BM_ReadWeek)->Unit(benchmark::kMicrosecond);

// The codec alone, without the widget: how much of the above is RTF work.
void BM_ParseWeekRtfOnly(benchmark::State &state)
{
    Week week;
    for (auto _ : state) {
        for (const QByteArray &rtf : week.rtf)
            benchmark::DoNotOptimize(tavi::readRtf(rtf));
    }
}
BENCHMARK(BM_ParseWeekRtfOnly)->Unit(benchmark::kMicrosecond);

void BM_SerializeWeekRtfOnly(benchmark::State &state)
{
    std::array<tavi::RtfDocument, 6> docs;
    for (int day = 0; day < 6; ++day)
        docs[day] = tavi::bench::dayNotes(day);
    for (auto _ : state) {
        for (const tavi::RtfDocument &doc : docs)
            benchmark::DoNotOptimize(tavi::writeRtf(doc));
    }
}
BENCHMARK(BM_SerializeWeekRtfOnly)->Unit(benchmark::kMicrosecond);

// The corpus: TAVI_TESTDATA/rtf, or the shared test data beside the sources.
QString corpusFolder()
{
    const QString overridden = qEnvironmentVariable("TAVI_TESTDATA");
    return QDir(overridden.isEmpty() ? QStringLiteral(TAVI_BENCH_TESTDATA_DIR) : overridden)
        .filePath(QStringLiteral("rtf"));
}

// Every file read from disk and loaded into a day box, as opening a note does.
void BM_ReadCorpusDayBox(benchmark::State &state)
{
    const auto corpus = tavi::bench::rtfCorpus(corpusFolder());
    if (corpus.empty()) {
        state.SkipWithError("no RTF files in the corpus folder");
        return;
    }
    tavi::RichEdit box;
    box.setFont(QFont(QStringLiteral("宋体"), 11));
    qsizetype bytes = 0;
    for (auto _ : state) {
        for (const tavi::bench::RtfFile &file : corpus) {
            const QByteArray content = tavi::readWholeFile(file.path);
            box.setRichText(tavi::DayNote(content).document());
            bytes += content.size();
        }
    }
    state.SetBytesProcessed(bytes);
    state.counters["files"] = double(corpus.size());
}
BENCHMARK(BM_ReadCorpusDayBox)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reader alone: every file read from disk, parsed and its plain text taken
// (what `unrtf --text` gives), without the text layout of the box.
void BM_ReadCorpusReaderOnly(benchmark::State &state)
{
    const auto corpus = tavi::bench::rtfCorpus(corpusFolder());
    if (corpus.empty()) {
        state.SkipWithError("no RTF files in the corpus folder");
        return;
    }
    qsizetype bytes = 0;
    for (auto _ : state) {
        for (const tavi::bench::RtfFile &file : corpus) {
            const QByteArray content = tavi::readWholeFile(file.path);
            QString text;
            try {
                text = tavi::readRtf(content).plainText();
            } catch (const tavi::ParseError &) {
                text = tavi::decodeGbk(content); // not RTF: plain text, as the box shows it
            }
            benchmark::DoNotOptimize(text);
            bytes += content.size();
        }
    }
    state.SetBytesProcessed(bytes);
    state.counters["files"] = double(corpus.size());
}
BENCHMARK(BM_ReadCorpusReaderOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
