// Finding notes in twenty years of them.
//
//   BM_Search/T        one search of the whole store for term T (0: "体检",
//                      two Chinese characters, answered from the index's
//                      vocabulary; 1: "zeppelin", a rare word, by its trigrams)
//   BM_BuildIndex      making the index anew for the twenty years
//   BM_SaveWeek/I      the writer's transaction for a week whose Monday box
//                      gained a character: the six notes written, then (I 1)
//                      the changed day marked for the index, as the writer does it
//   BM_IndexChangedDay indexing one marked day, as the writer does once saves pause
//
// The store: 20 years x 12 months x 5 slots, six boxes of about 2 KB of
// coloured Chinese text each; one day in 40 mentions a check-up (体检), three
// days mention a Zeppelin. With TAVI_BENCH_TEXTS=DIR every week's plain text
// is also written to a file in DIR, UTF-8, for bench/run-all's grep.
#include "bench/Distribution.h"
#include "bench/WeekSample.h"
#include "notes/DayNote.h"
#include "notes/NotesDatabase.h"
#include "notes/NotesSearch.h"
#include "storage/Database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

constexpr int kFirstYear = 2007, kYears = 20;

QString yearMonth(int year, int month) { return QStringLiteral("%1%2").arg(year).arg(month); }

// Day n of the store: the everyday sample, varied by week, and now and then
// the words searched for.
tavi::RtfDocument storedDay(int n, int day)
{
    tavi::RtfDocument doc = tavi::bench::dayNotes((n / 6 + day) % 5);
    doc.append(QStringLiteral("第%1天的小结。\n").arg(n), {});
    if (n % 40 == 17)
        doc.append(QStringLiteral("下午去医院体检，记得空腹。\n"), {});
    if (n == 123 || n == 4567 || n == 7001)
        doc.append(QStringLiteral("Read about the Zeppelin airships.\n"), {});
    return doc;
}

struct TwentyYears {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("UserData.db"));

    TwentyYears()
    {
        tavi::createNotesDatabase(path);
        tavi::NotesDatabase db;
        db.open(path);
        tavi::Database &database = db.database();
        const QString texts = qEnvironmentVariable("TAVI_BENCH_TEXTS");
        if (!texts.isEmpty())
            QDir().mkpath(texts);
        database.exec("BEGIN");
        int n = 0;
        for (int year = kFirstYear; year < kFirstYear + kYears; ++year) {
            for (int month = 1; month <= 12; ++month) {
                for (int slot = 1; slot <= 5; ++slot) {
                    tavi::WeekMemos memos;
                    QString plain;
                    for (int day = 0; day < tavi::kDayBoxCount; ++day, ++n) {
                        const tavi::DayNote note = tavi::DayNote::fromDocument(storedDay(n, day));
                        memos[day] = note.stored();
                        plain += note.plainText() + u'\n';
                    }
                    db.writeWeek(slot, yearMonth(year, month), memos);
                    if (!texts.isEmpty())
                        writeText(QDir(texts).filePath(QStringLiteral("%1-%2-%3.txt").arg(year).arg(month, 2, 10, QChar(u'0')).arg(slot)),
                                  plain);
                }
            }
        }
        tavi::rebuildSearchIndex(database);
        database.exec("COMMIT");
    }

    static void writeText(const QString &path, const QString &text)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
};

TwentyYears &store()
{
    static TwentyYears years;
    return years;
}

void BM_Search(benchmark::State &state)
{
    const QString term = state.range(0) == 0 ? QStringLiteral("体检") : QStringLiteral("zeppelin");
    tavi::Database db(store().path);
    tavi::bench::Distribution times(state);
    std::size_t hits = 0;
    for (auto _ : state)
        times.time([&] { hits = tavi::searchNotes(db, term).size(); });
    state.counters["hits"] = double(hits);
    if (hits == 0)
        state.SkipWithError("nothing found");
}

void BM_BuildIndex(benchmark::State &state)
{
    tavi::Database db(store().path);
    for (auto _ : state) {
        db.exec("BEGIN IMMEDIATE");
        tavi::rebuildSearchIndex(db);
        db.exec("COMMIT");
    }
}

void BM_SaveWeek(benchmark::State &state)
{
    const bool indexed = state.range(0) != 0;
    tavi::NotesDatabase db;
    db.open(store().path);
    tavi::Database &database = db.database();
    const QString month = yearMonth(kFirstYear + kYears - 1, 12);
    // Two versions of the week, one character apart in Monday's box, saved in
    // turn: what typing in a box does.
    std::array<tavi::WeekMemos, 2> versions;
    versions[0] = versions[1] = *db.readWeek(5, month);
    versions[1][0].insert(versions[1][0].lastIndexOf("\\par"), "\\'bc\\'c7");
    tavi::bench::Distribution times(state);
    int round = 0;
    for (auto _ : state) {
        const tavi::WeekMemos &memos = versions[round++ % 2];
        times.time([&] {
            database.exec("BEGIN IMMEDIATE");
            db.writeWeek(5, month, memos);
            if (indexed) {
                database.exec("SAVEPOINT search_index");
                tavi::markDayChanged(database, 5, month, 0);
                database.exec("RELEASE search_index");
            }
            database.exec("COMMIT");
        });
    }
}

// Indexing the day a save marked, as the writer does once typing pauses.
void BM_IndexChangedDay(benchmark::State &state)
{
    tavi::Database db(store().path);
    const QString month = yearMonth(kFirstYear + kYears - 1, 11);
    tavi::bench::Distribution times(state);
    for (auto _ : state) {
        times.time([&] {
            db.exec("BEGIN IMMEDIATE");
            tavi::markDayChanged(db, 3, month, 2);
            tavi::indexChangedDays(db);
            db.exec("COMMIT");
        });
    }
}

BENCHMARK(BM_Search)->Arg(0)->Arg(1)->Iterations(100)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_BuildIndex)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWeek)->Arg(0)->Arg(1)->Iterations(200)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_IndexChangedDay)->Iterations(100)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
