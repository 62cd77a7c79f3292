#pragma once

#include "notes/DayNote.h"

#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace tavi {

class NotesDatabase;

// One week's notes between the notes database and whoever shows them. It
// remembers which week was last loaded: only that week is ever saved, so
// notes still showing another week (after a failed load) can never be
// stored under the week that failed to load.
class WeekNotes {
public:
    explicit WeekNotes(NotesDatabase &db);

    // The notes of yearMonth in the slot's table, six empty notes when it has
    // no row. A failure is told to loadFailed and gives nothing; no week is
    // shown then, and nothing is saved until a load succeeds.
    std::optional<WeekNote> load(int slot, const QString &yearMonth);
    // Stores the notes as that week's row, inserting the row when it is
    // missing; nothing unless that week is the one loaded. A failure marks
    // the week unsaved and is told to saveFailed; further failures are not,
    // until a save succeeds.
    void save(int slot, const QString &yearMonth, const WeekNote &notes);

    // True while the shown week holds edits that the last save could not store.
    bool unsaved() const { return unsaved_; }

    // Where failures are told, with a reason a user can act on.
    std::function<void(const QString &reason)> saveFailed;
    std::function<void(const QString &reason)> loadFailed;

private:
    NotesDatabase &db_;
    // The week last loaded; none after a failed load.
    std::optional<std::pair<int, QString>> shownWeek_;
    bool unsaved_ = false;
    bool failureTold_ = false;
};

} // namespace tavi
