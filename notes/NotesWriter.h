#pragma once

#include "notes/NotesDatabase.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

namespace tavi {

class Clock;

// Why a week is stored: an edit keeps the stored state as a version only when
// it has stood for kVersionAfterSeconds; the others always keep it.
enum class SaveReason { Edit, Clear, Restore };

// The one writer of the notes: it takes week states in order and stores each
// on a thread of its own, with its own connection (WAL, synchronous=FULL), so
// the user never waits for the disk. A newer state of the week still waiting
// replaces it. Before a save replaces a stored state, that state is kept as a
// version when the reason says so (see WeekHistory); once a day the database
// is copied into the backups folder. Results come back as signals in the
// thread that made the writer.
class NotesWriter : public QObject {
    Q_OBJECT
public:
    // backupFolder empty: no daily copies.
    NotesWriter(const QString &databasePath, const QString &backupFolder, const Clock &clock,
                QObject *parent = nullptr);
    // Stores everything handed over first.
    ~NotesWriter() override;

    // Hands a week's state over and returns at once.
    void save(int slot, const QString &yearMonth, const WeekMemos &memos, SaveReason reason = SaveReason::Edit);
    // Makes the search index anew, after the saves handed over (a search found it damaged).
    void repairSearchIndex();
    // How long saves must pause before the days they changed are indexed
    // (2 s; while typing, indexing a day costs more than saving it).
    void setIndexDelay(std::chrono::milliseconds delay);
    // Waits until everything handed over is stored or has failed. True when
    // the last save succeeded (or there was none).
    bool flush();

signals:
    // After each save, in the order handed over.
    void saved();
    void saveFailed(const QString &reason);
    // The day's backup failed its check (its copy was deleted) or could not be made.
    void backupFailed(const QString &reason);

private:
    struct Job {
        int slot = 0;
        QString yearMonth;
        WeekMemos memos;
        SaveReason reason = SaveReason::Edit;
        bool repairIndex = false; // no week: the search index is made anew
    };
    void run();
    // The writer thread's connection, opened at first use. Throws DatabaseError.
    NotesDatabase &notes();
    // The writer thread's part: true when stored; reason filled otherwise.
    bool store(const Job &job, QString &reason);
    void backUpIfDue();
    // Each day that changed is marked for the search index, in the save's transaction.
    void markChangedDays(const Job &job, const std::optional<WeekMemos> &before);
    void indexChangedDaysNow();
    void rebuildIndexIfBroken();

    QString databasePath_;
    QString backupFolder_;
    const Clock &clock_;
    // Only the writer thread touches these.
    std::unique_ptr<NotesDatabase> db_;
    QDate lastBackupDay_;
    // Each week's state and its time as this connection last wrote or read
    // them, good while no other connection writes (PRAGMA data_version).
    struct Known {
        std::optional<WeekMemos> memos;
        std::optional<std::int64_t> storedAt;
    };
    std::map<std::pair<int, QString>, Known> known_;
    std::int64_t dataVersion_ = -1;
    bool indexBroken_ = false; // missing or damaged: made anew between saves
    bool daysToIndex_ = false;  // marked days wait for saves to pause
    using Marked = std::tuple<int, QString, int>; // slot, week key, weekday
    std::set<Marked> marked_; // by this writer since the index last followed

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<Job> queue_;
    std::chrono::milliseconds indexDelay_{2000};
    bool busy_ = false;
    bool stopping_ = false;
    bool lastSaveOk_ = true;
    std::thread thread_;
};

} // namespace tavi
