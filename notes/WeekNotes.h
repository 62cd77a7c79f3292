#pragma once

#include "notes/uDM.h"
#include "platform/ProgramState.h"

#include <QString>

#include <array>
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
    // empty boxes when it has no row). Failures are silent and leave
    // NotesReady false, which stops the automatic saving.
    void LoadWeek(int slot, const QString &yearMonth);
    // Stores the boxes into that week's row, inserting the row when it is
    // missing. Failures are silent; NotesReady is true afterwards. The boxes
    // are written only under the week they were loaded from: after a failed
    // load they may hold another week's notes, which must not overwrite the
    // week that failed to load.
    void SaveWeek(int slot, const QString &yearMonth);
    // The automatic save on every change and focus loss of a box: nothing
    // before the window is shown, while a slot button loads (slot 0) or while
    // a load or save runs (NotesReady false).
    void autoSave(bool formShown, int currentWeekSlot, const QString &yearMonth);

private:
    TDM &dm_;
    ProgramState &state_;
    std::array<RichEdit *, kDayBoxCount> boxes_;
    // The week whose notes the boxes hold; none after a failed load.
    std::optional<std::pair<int, QString>> shownWeek_;
};

} // namespace tavi
