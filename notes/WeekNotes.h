#pragma once

#include "notes/NotesDatabase.h"
#include "platform/ProgramState.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace tavi {

class RichEdit;

// Moves one week's notes between the notes database and the six day boxes,
// and decides when an edit is saved on its own.
class WeekNotes {
public:
    WeekNotes(TDM &dm, ProgramState &state, const std::array<RichEdit *, kDayBoxCount> &boxes);

    // Fills the boxes with the week of yearMonth in the slot's table (six
    // empty boxes when it has no row). A failure leaves the boxes empty and
    // read-only (typing there could never be stored), NotesReady false, which
    // stops the automatic saving, and is told to loadFailed.
    void LoadWeek(int slot, const QString &yearMonth);
    // Stores the boxes into that week's row, inserting the row when it is
    // missing; NotesReady is true afterwards. The boxes are written only under
    // the week they were loaded from: after a failed load they may hold
    // another week's notes, which must not overwrite the week that failed to
    // load. A failure keeps the text in the boxes, marks the week unsaved and
    // is told to saveFailed; further failures are not, until a save succeeds.
    void SaveWeek(int slot, const QString &yearMonth);
    // The automatic save on every change and focus loss of a box: nothing
    // before the window is shown, while a slot button loads (slot 0) or while
    // a load or save runs (NotesReady false).
    void autoSave(bool formShown, int currentWeekSlot, const QString &yearMonth);

    // True while the boxes hold edits that the last save could not store.
    bool unsaved() const { return unsaved_; }

    // Where failures are told, with a reason a user can act on.
    std::function<void(const QString &reason)> saveFailed;
    std::function<void(const QString &reason)> loadFailed;

private:
    TDM &dm_;
    ProgramState &state_;
    std::array<RichEdit *, kDayBoxCount> boxes_;
    // The week whose notes the boxes hold; none after a failed load.
    std::optional<std::pair<int, QString>> shownWeek_;
    bool unsaved_ = false;
    bool failureTold_ = false; // until a save succeeds again
};

} // namespace tavi
