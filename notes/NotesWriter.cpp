#include "notes/NotesWriter.h"

#include "notes/DailyBackup.h"
#include "notes/NotesSearch.h"
#include "notes/WeekHistory.h"
#include "platform/Clock.h"
#include "storage/Database.h"

#include <QMetaObject>

namespace tavi {

NotesWriter::NotesWriter(const QString &databasePath, const QString &backupFolder, const Clock &clock, QObject *parent)
    : QObject(parent), databasePath_(databasePath), backupFolder_(backupFolder), clock_(clock)
{
    thread_ = std::thread([this] { run(); });
}

NotesWriter::~NotesWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void NotesWriter::save(int slot, const QString &yearMonth, const WeekMemos &memos, SaveReason reason)
{
    {
        std::lock_guard lock(mutex_);
        Job *waiting = queue_.empty() ? nullptr : &queue_.back();
        if (waiting && !waiting->repairIndex && waiting->slot == slot && waiting->yearMonth == yearMonth) {
            // The waiting state was never stored: the newer one takes its place, and its reason to keep a version.
            waiting->memos = memos;
            if (reason != SaveReason::Edit)
                waiting->reason = reason;
        } else {
            queue_.push_back({slot, yearMonth, memos, reason});
        }
    }
    wake_.notify_one();
}

void NotesWriter::repairSearchIndex()
{
    {
        std::lock_guard lock(mutex_);
        Job job;
        job.repairIndex = true;
        queue_.push_back(job);
    }
    wake_.notify_one();
}

void NotesWriter::setIndexDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(mutex_);
    indexDelay_ = delay;
}

bool NotesWriter::flush()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
    return lastSaveOk_;
}

void NotesWriter::run()
{
    backUpIfDue();
    std::unique_lock lock(mutex_);
    const auto jobOrStop = [this] { return stopping_ || !queue_.empty(); };
    for (;;) {
        // Once saves pause, the days they changed are indexed.
        if (daysToIndex_ && !wake_.wait_for(lock, indexDelay_, jobOrStop)) {
            busy_ = true;
            lock.unlock();
            indexChangedDaysNow();
            lock.lock();
            busy_ = false;
            if (queue_.empty())
                idle_.notify_all();
            continue;
        }
        wake_.wait(lock, jobOrStop);
        if (queue_.empty())
            break; // stopping, and everything is stored
        const Job job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();

        if (job.repairIndex) {
            indexBroken_ = true;
            try {
                notes();
                rebuildIndexIfBroken();
            } catch (const DatabaseError &) {
                // the next save tries to open the database again
            }
            lock.lock();
            busy_ = false;
            if (queue_.empty())
                idle_.notify_all();
            continue;
        }
        QString reason;
        const bool ok = store(job, reason);
        if (db_)
            rebuildIndexIfBroken();
        backUpIfDue();
        if (ok)
            QMetaObject::invokeMethod(this, &NotesWriter::saved, Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(this, [this, reason] { emit saveFailed(reason); }, Qt::QueuedConnection);

        lock.lock();
        busy_ = false;
        lastSaveOk_ = ok;
        if (queue_.empty())
            idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

NotesDatabase &NotesWriter::notes()
{
    if (!db_) {
        auto db = std::make_unique<NotesDatabase>();
        if (!db->open(databasePath_))
            throw DatabaseError("cannot open " + databasePath_.toStdString(),
                                QStringLiteral("无法打开数据库文件 %1").arg(databasePath_));
        db_ = std::move(db);
        // An older or imported database gets its search index once.
        indexBroken_ = !hasSearchIndex(db_->database());
        rebuildIndexIfBroken();
        daysToIndex_ = !indexBroken_ && hasChangedDays(db_->database()); // left by an earlier run
    }
    return *db_;
}

bool NotesWriter::store(const Job &job, QString &reason)
{
    try {
        Database &database = notes().database();
        database.checkNotMoved();
        const std::int64_t now = clock_.now().toSecsSinceEpoch();
        database.exec("BEGIN IMMEDIATE");
        try {
            // What this connection wrote last is known, unless another one has written since.
            {
                const auto dataVersion = db_->prepared(QStringLiteral("PRAGMA data_version"));
                const std::int64_t version = dataVersion->next() ? dataVersion->integer(0) : -1;
                if (version != dataVersion_) {
                    known_.clear();
                    marked_.clear(); // it may have indexed them
                    dataVersion_ = version;
                }
            }
            const auto key = std::make_pair(job.slot, job.yearMonth);
            auto found = known_.find(key);
            if (found == known_.end()) {
                const Known stored{db_->readWeek(job.slot, job.yearMonth), weekStoredAt(*db_, job.slot, job.yearMonth)};
                found = known_.emplace(key, stored).first;
            }
            Known &known = found->second;
            if (known.memos && *known.memos == job.memos) {
                database.exec("COMMIT"); // nothing changes
                return true;
            }
            const bool stood = !known.storedAt || now - *known.storedAt >= kVersionAfterSeconds;
            if (known.memos && (job.reason != SaveReason::Edit || stood))
                keepVersion(database, job.slot, job.yearMonth, *known.memos, known.storedAt.value_or(now), now);
            db_->writeWeek(job.slot, job.yearMonth, job.memos);
            setWeekStoredAt(*db_, job.slot, job.yearMonth, now);
            markChangedDays(job, known.memos);
            database.exec("COMMIT");
            known = {job.memos, now};
        } catch (...) {
            known_.clear(); // what the database holds is not sure any more
            marked_.clear();
            try {
                database.exec("ROLLBACK");
            } catch (const DatabaseError &) {
                // SQLite has rolled back already when it could not go on
            }
            throw;
        }
        return true;
    } catch (const std::exception &error) {
        reason = reasonOf(error);
        return false;
    }
}

void NotesWriter::markChangedDays(const Job &job, const std::optional<WeekMemos> &before)
{
    if (indexBroken_)
        return;
    // While typing goes on in a box, its day is marked already: nothing to write.
    std::vector<Marked> days;
    for (int day = 0; day < kDayBoxCount; ++day) {
        const Marked marked{job.slot, job.yearMonth, day};
        if ((!before || (*before)[day] != job.memos[day]) && !marked_.contains(marked))
            days.push_back(marked);
    }
    if (days.empty())
        return;
    Database &database = db_->database();
    // The index must never cost the notes their save: its changes are undone alone when they fail.
    database.exec("SAVEPOINT search_index");
    try {
        for (const auto &[slot, yearMonth, day] : days)
            markDayChanged(database, slot, yearMonth, day);
        database.exec("RELEASE search_index");
        marked_.insert(days.begin(), days.end()); // forgotten again if the save rolls back
        daysToIndex_ = true;
    } catch (const DatabaseError &) {
        database.exec("ROLLBACK TO search_index");
        database.exec("RELEASE search_index");
        indexBroken_ = true; // made anew after this save
    }
}

void NotesWriter::indexChangedDaysNow()
{
    daysToIndex_ = false;
    marked_.clear();
    try {
        Database &database = notes().database();
        if (indexBroken_)
            return;
        database.exec("BEGIN IMMEDIATE");
        try {
            indexChangedDays(database);
            database.exec("COMMIT");
        } catch (const DatabaseError &) {
            try {
                database.exec("ROLLBACK");
            } catch (const DatabaseError &) {
                // SQLite has rolled back already when it could not go on
            }
            indexBroken_ = true; // the marks go with it: a rebuild reads every day
            rebuildIndexIfBroken();
        }
    } catch (const DatabaseError &) {
        // the next save tries again; until then a search reads the marked days themselves
    }
}

void NotesWriter::rebuildIndexIfBroken()
{
    if (!indexBroken_)
        return;
    marked_.clear(); // a rebuild reads every day and leaves no marks
    Database &database = notes().database();
    try {
        database.exec("BEGIN IMMEDIATE");
        rebuildSearchIndex(database);
        database.exec("COMMIT");
        indexBroken_ = false;
    } catch (const DatabaseError &) {
        try {
            database.exec("ROLLBACK");
        } catch (const DatabaseError &) {
        }
    }
}

void NotesWriter::backUpIfDue()
{
    const QDate today = clock_.today();
    if (backupFolder_.isEmpty() || today == lastBackupDay_)
        return;
    lastBackupDay_ = today; // tried once a day, whatever comes of it
    try {
        Database &database = notes().database();
        pruneVersions(database, clock_.now().toSecsSinceEpoch());
        if (const std::optional<QString> problem = backUpDaily(database, backupFolder_, today))
            QMetaObject::invokeMethod(this, [this, problem] { emit backupFailed(*problem); }, Qt::QueuedConnection);
    } catch (const std::exception &error) {
        const QString reason = reasonOf(error);
        QMetaObject::invokeMethod(this, [this, reason] { emit backupFailed(reason); }, Qt::QueuedConnection);
    }
}

} // namespace tavi
