// A week of six day boxes, each about 2 KB of Chinese text in several colour
// runs: writing the boxes' RTF (what every save does) and reading it back
// (what every load does).
#include "platform/RichEdit.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "bench/WeekSample.h"

#include <benchmark/benchmark.h>

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
            week.boxes[day]->loadContent(week.rtf[day]);
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

} // namespace
