#pragma once

#include "notes/NotesDatabase.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Earlier states of the weeks, kept in the notes database beside them:
// tavi_history holds the versions, tavi_week_times when each week's stored
// state was written. Times are seconds since 1970 (UTC).
namespace tavi {

class Database;

// A week's stored state must stand this long before a save replacing it keeps it as a version.
constexpr std::int64_t kVersionAfterSeconds = 10 * 60;

struct WeekVersion {
    std::int64_t id = 0;
    int slot = 0;
    QString yearMonth;
    std::int64_t storedAt = 0; // when this state was written
    WeekMemos memos;
};

// Makes the two tables when they are missing (an older or an imported database).
void ensureHistoryTables(Database &db);

// When the week's stored state was written; nothing when it is not known
// (written before there was a history).
std::optional<std::int64_t> weekStoredAt(NotesDatabase &notes, int slot, const QString &yearMonth);
void setWeekStoredAt(NotesDatabase &notes, int slot, const QString &yearMonth, std::int64_t at);

// Keeps memos, the week's state stored at storedAt, as a version replaced at now.
void keepVersion(Database &db, int slot, const QString &yearMonth, const WeekMemos &memos, std::int64_t storedAt,
                 std::int64_t now);

// The week's versions, newest first.
std::vector<WeekVersion> weekVersions(Database &db, int slot, const QString &yearMonth);
std::optional<WeekVersion> weekVersion(Database &db, std::int64_t id);

// Keeps every version for 7 days, then the newest of each day for 90 days,
// and nothing older.
void pruneVersions(Database &db, std::int64_t now);

} // namespace tavi
