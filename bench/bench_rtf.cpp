// A week of six day boxes, each about 2 KB of Chinese text in several colour
// runs: writing the boxes' RTF (what every save does) and reading it back
// (what every load does).
#include "platform/RichEdit.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/TextCodec.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

tavi::RtfDocument dayNotes(int day)
{
    static const QString sentences[] = {
        QStringLiteral("上午九点开会，讨论本周的工作安排。"),
        QStringLiteral("下午完成报告初稿并发给王经理审阅。"),
        QStringLiteral("记得给客户回电话，确认合同细节。"),
        QStringLiteral("晚上七点健身，八点半读书一小时。"),
        QStringLiteral("周末带孩子去公园，顺便买菜。"),
    };
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 128, 0)};
    tavi::RtfDocument doc;
    int bytes = 0;
    for (int i = 0; bytes < 2048; ++i) {
        tavi::RtfCharFormat format;
        if ((i + day) % 3 == 0)
            format.color = colours[i % 3];
        format.bold = (i + day) % 7 == 0;
        const QString text = sentences[(i + day) % 5] + (i % 4 == 3 ? QStringLiteral("\n") : QString());
        doc.append(text, format);
        bytes += int(tavi::encodeGbk(text).size());
    }
    return doc;
}

struct Week {
    std::array<std::unique_ptr<tavi::RichEdit>, 6> boxes;
    std::array<QByteArray, 6> rtf;
    Week()
    {
        for (int day = 0; day < 6; ++day) {
            boxes[day] = std::make_unique<tavi::RichEdit>();
            boxes[day]->setFont(QFont(QStringLiteral("宋体"), 9));
            boxes[day]->setRichText(dayNotes(day));
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
        docs[day] = dayNotes(day);
    for (auto _ : state) {
        for (const tavi::RtfDocument &doc : docs)
            benchmark::DoNotOptimize(tavi::writeRtf(doc));
    }
}
BENCHMARK(BM_SerializeWeekRtfOnly)->Unit(benchmark::kMicrosecond);

} // namespace
