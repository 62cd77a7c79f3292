#pragma once

#include "notes/DayNote.h"
#include "notes/NotesWriter.h"

#include <QMetaObject>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace tavi {

class NotesDatabase;

// The week's six notes as stored, six empty ones when it has no row. Throws DatabaseError.
WeekNote readWeekNotes(NotesDatabase &db, int slot, const QString &yearMonth);

// One week's notes between the notes database and whoever shows them. It
// remembers which week was last loaded: only that week is ever saved, so
// notes still showing another week (after a failed load) can never be
// stored under the week that failed to load. Saves go to the writer and
// return at once; a load first waits until the writer has stored everything.
class WeekNotes {
public:
    WeekNotes(NotesDatabase &db, NotesWriter &writer);
    ~WeekNotes();
    WeekNotes(const WeekNotes &) = delete;
    WeekNotes &operator=(const WeekNotes &) = delete;

    // The notes of yearMonth in the slot's table, six empty notes when it has
    // no row. A failure is told to loadFailed and gives nothing; no week is
    // shown then, and nothing is saved until a load succeeds.
    std::optional<WeekNote> load(int slot, const QString &yearMonth);
    // Hands the notes to the writer as that week's state; nothing unless that
    // week is the one loaded. A failure is told to saveFailed, once until a
    // save succeeds again.
    void save(int slot, const QString &yearMonth, const WeekNote &notes, SaveReason reason = SaveReason::Edit);
    // Waits until the writer has stored everything: true when the last save succeeded.
    bool storeAll();

    // Where failures are told, with a reason a user can act on.
    std::function<void(const QString &reason)> saveFailed;
    std::function<void(const QString &reason)> loadFailed;

private:
    NotesDatabase &db_;
    NotesWriter &writer_;
    QMetaObject::Connection saved_, failed_;
    // The week last loaded; none after a failed load.
    std::optional<std::pair<int, QString>> shownWeek_;
    bool failureTold_ = false;
};

} // namespace tavi
