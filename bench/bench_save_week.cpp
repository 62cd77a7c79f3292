// The notes store, as the user meets it.
//
//   BM_Keystroke/KB    the GUI thread's time for one keystroke in a day box
//                      of KB kilobytes (the other five of 2 KB): from the key
//                      event to the week's state handed to the writer
//   BM_WriterSave/KB/V the writer's time to store one such week, history on:
//                      as while typing (V 0: a version every ten minutes), or
//                      with a version kept at every save (V 1)
//   BM_BareUpdate/KB   the floor: the bare UPDATE of the same six blobs on a
//                      connection with the same durability (WAL, synchronous=FULL)
//   BM_LoadWeek/KB     loading a week whose six boxes hold KB kilobytes each
//                      into six day boxes
//
// Each keystroke and save reports its median and 99th percentile besides the
// mean. Run under bench/slow-sync (LD_PRELOAD), every fsync takes 50 ms more.
#include "bench/Distribution.h"
#include "bench/WeekSample.h"
#include "notes/NotesDatabase.h"
#include "notes/NotesWriter.h"
#include "notes/WeekNotes.h"
#include "platform/Clock.h"
#include "storage/Database.h"
#include "widgets/RichEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextCursor>

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <memory>

namespace {

const QString kMonth = QStringLiteral("202612");

// Every read moves the time on by step seconds: a second for a week being
// typed in (a version every ten minutes), an hour for a version every save,
// the most a save ever does.
class SteppingClock : public tavi::Clock {
public:
    explicit SteppingClock(qint64 step = 1) : step_(step) {}
    QDateTime now() const override { return QDateTime::fromSecsSinceEpoch(1800000000 + step_ * ticks_++); }

private:
    qint64 step_;
    mutable std::atomic<qint64> ticks_{0};
};

// A week on disk behind six day boxes, wired as the main window wires them:
// every change of a box hands the week to the writer.
struct WeekOnDisk {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("UserData.db"));
    SteppingClock clock;
    tavi::NotesDatabase db;
    std::unique_ptr<tavi::NotesWriter> writer;
    std::unique_ptr<tavi::WeekNotes> notes;
    std::array<std::unique_ptr<tavi::RichEdit>, tavi::kDayBoxCount> boxes;

    explicit WeekOnDisk(int kilobytesInFirstBox, qint64 clockStep = 1) : clock(clockStep)
    {
        tavi::createNotesDatabase(path);
        db.open(path);
        writer = std::make_unique<tavi::NotesWriter>(path, QString(), clock);
        notes = std::make_unique<tavi::WeekNotes>(db, *writer);
        notes->load(1, kMonth); // an empty month: the first save inserts its row
        for (int day = 0; day < tavi::kDayBoxCount; ++day) {
            boxes[day] = std::make_unique<tavi::RichEdit>();
            boxes[day]->setFont(tavi::dayNoteFont());
            boxes[day]->resize(300, 200);
            boxes[day]->show(); // laid out as on the screen
            boxes[day]->setRichText(tavi::bench::dayNotes(day, (day == 0 ? kilobytesInFirstBox : 2) * 1024));
        }
        for (const auto &box : boxes)
            QObject::connect(box.get(), &tavi::RichEdit::changed, [this] { save(); });
        save();
        writer->flush();
    }

    void save()
    {
        tavi::WeekNote week;
        for (int day = 0; day < tavi::kDayBoxCount; ++day)
            week[day] = tavi::DayNote(boxes[day]->rtf());
        notes->save(1, kMonth, week);
    }
};

void BM_Keystroke(benchmark::State &state)
{
    WeekOnDisk week(int(state.range(0)));
    tavi::RichEdit &box = *week.boxes[0];
    box.moveCursor(QTextCursor::End);
    tavi::bench::Distribution times(state);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("记"));
        times.time([&] { QApplication::sendEvent(&box, &press); });
    }
    week.writer->flush();
}

void BM_WriterSave(benchmark::State &state)
{
    WeekOnDisk week(int(state.range(0)), state.range(1) ? 3600 : 1);
    tavi::WeekMemos versions[2];
    for (int day = 0; day < tavi::kDayBoxCount; ++day)
        versions[0][day] = versions[1][day] = week.boxes[day]->rtf();
    versions[1][0].insert(versions[1][0].lastIndexOf("\\par"), "\\'bc\\'c7");
    tavi::bench::Distribution times(state);
    int round = 0;
    for (auto _ : state) {
        times.time([&] {
            week.writer->save(1, kMonth, versions[round++ % 2]);
            week.writer->flush();
        });
    }
}

void BM_BareUpdate(benchmark::State &state)
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

void BM_LoadWeek(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("UserData.db"));
    tavi::createNotesDatabase(path);
    SteppingClock clock;
    {
        tavi::NotesDatabase db;
        db.open(path);
        tavi::WeekMemos memos;
        for (int day = 0; day < tavi::kDayBoxCount; ++day)
            memos[day] = tavi::DayNote::fromDocument(tavi::bench::dayNotes(day, int(state.range(0)) * 1024)).stored();
        db.writeWeek(1, kMonth, memos);
    }
    tavi::NotesDatabase db;
    db.open(path);
    tavi::NotesWriter writer(path, QString(), clock);
    tavi::WeekNotes notes(db, writer);
    std::array<std::unique_ptr<tavi::RichEdit>, tavi::kDayBoxCount> boxes;
    for (auto &box : boxes) {
        box = std::make_unique<tavi::RichEdit>();
        box->setFont(tavi::dayNoteFont());
    }
    tavi::bench::Distribution times(state);
    for (auto _ : state) {
        times.time([&] {
            const std::optional<tavi::WeekNote> week = notes.load(1, kMonth);
            const auto documents = tavi::documents(*week);
            for (int day = 0; day < tavi::kDayBoxCount; ++day) {
                const QSignalBlocker quiet(boxes[day].get());
                boxes[day]->setRichText(documents[day]);
            }
        });
    }
}

BENCHMARK(BM_Keystroke)->Arg(2)->Arg(1024)->Iterations(400)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_WriterSave)->Args({2, 0})->Args({20, 0})->Args({2, 1})->Args({20, 1})->Iterations(200)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_BareUpdate)->Arg(2)->Arg(20)->Iterations(200)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_LoadWeek)->Arg(2)->Arg(250)->Arg(1024)->Iterations(10)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
