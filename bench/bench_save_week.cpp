// One automatic save of a week (six boxes of coloured Chinese text, about 2 KB
// or 20 KB each) against the floor: the bare SQLite UPDATE of the same six
// blobs on a connection with the same durability settings (WAL,
// synchronous=FULL). The argument is the kilobytes per box. Each runs 1000
// saves and reports their median and 99th percentile besides the mean.
#include "bench/Distribution.h"
#include "bench/WeekSample.h"
#include "notes/WeekNotes.h"
#include "notes/NotesDatabase.h"
#include "storage/Database.h"
#include "widgets/RichEdit.h"

#include <QTemporaryDir>
#include <QTextCursor>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

const QString kMonth = QStringLiteral("202612");

struct WeekOnDisk {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("UserData.db"));
    tavi::NotesDatabase db;
    std::array<std::unique_ptr<tavi::RichEdit>, tavi::kDayBoxCount> owned;
    std::array<tavi::RichEdit *, tavi::kDayBoxCount> boxes{};
    std::unique_ptr<tavi::WeekNotes> notes;

    explicit WeekOnDisk(int kilobytesPerBox)
    {
        tavi::createNotesDatabase(path);
        db.open(path);
        for (int day = 0; day < tavi::kDayBoxCount; ++day) {
            owned[day] = std::make_unique<tavi::RichEdit>();
            owned[day]->setFont(tavi::dayNoteFont());
            boxes[day] = owned[day].get();
        }
        notes = std::make_unique<tavi::WeekNotes>(db);
        notes->load(1, kMonth); // an empty month: the first save inserts its row
        for (int day = 0; day < tavi::kDayBoxCount; ++day)
            boxes[day]->setRichText(tavi::bench::dayNotes(day, kilobytesPerBox * 1024));
        save();
    }

    // What the main window does on every change: the boxes' notes to the notes database.
    void save()
    {
        tavi::WeekNote week;
        for (int day = 0; day < tavi::kDayBoxCount; ++day)
            week[day] = tavi::DayNote(boxes[day]->rtf());
        notes->save(1, kMonth, week);
    }

    // A character typed at the end of one of the boxes, in turn.
    void type(int keystroke)
    {
        QTextCursor cursor = boxes[keystroke % tavi::kDayBoxCount]->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("记"));
    }
};

// What one keystroke costs: a character typed into one of the boxes, then
// the save that follows it. Only the save is timed.
void BM_TypeAndSaveWeek(benchmark::State &state)
{
    WeekOnDisk week(int(state.range(0)));
    tavi::bench::Distribution times(state);
    int keystrokes = 0;
    for (auto _ : state) {
        week.type(keystrokes++);
        times.time([&] { week.save(); });
    }
}

void BM_BareUpdateOfSixBlobs(benchmark::State &state)
{
    WeekOnDisk week(int(state.range(0)));
    // Two versions of the week, one character apart in one box, written in
    // turn: SQLite skips writing a row that does not change.
    std::array<tavi::WeekMemos, 2> versions;
    for (int day = 0; day < tavi::kDayBoxCount; ++day)
        versions[0][day] = versions[1][day] = week.boxes[day]->rtf();
    versions[1][0].insert(versions[1][0].lastIndexOf("\\par"), "\\'bc\\'c7");
    tavi::Database db(week.path); // the same settings as the program's connection
    tavi::Statement update(db, QStringLiteral("update tb_A set MondayCon = ?1, TuesdayCon = ?2, WednesdayCon = ?3, "
                                              "ThursdayCon = ?4, FridayCon = ?5, SaturdayCon = ?6 where rowid = 1"));
    tavi::bench::Distribution times(state);
    int round = 0;
    for (auto _ : state) {
        const tavi::WeekMemos &memos = versions[round++ % 2];
        times.time([&] {
            for (int day = 0; day < tavi::kDayBoxCount; ++day)
                update.bind(day + 1, memos[day]);
            update.run();
            update.reset();
        });
    }
}

BENCHMARK(BM_TypeAndSaveWeek)->Arg(2)->Arg(20)->Iterations(1000)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_BareUpdateOfSixBlobs)->Arg(2)->Arg(20)->Iterations(1000)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
