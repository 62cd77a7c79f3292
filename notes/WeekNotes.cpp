#include "notes/WeekNotes.h"

#include "notes/NotesDatabase.h"

namespace tavi {
namespace {

QString reasonOf(const std::exception &error)
{
    if (const auto *database = dynamic_cast<const DatabaseError *>(&error))
        return database->reason();
    return QString::fromUtf8(error.what());
}

} // namespace

WeekNotes::WeekNotes(NotesDatabase &db) : db_(db)
{
}

std::optional<WeekNote> WeekNotes::load(int slot, const QString &yearMonth)
{
    shownWeek_.reset();
    unsaved_ = false;
    WeekNote week;
    try {
        if (const std::optional<WeekMemos> memos = db_.readWeek(slot, yearMonth)) {
            for (int day = 0; day < kDayBoxCount; ++day)
                week[day] = DayNote((*memos)[day]);
        }
    } catch (const std::exception &error) {
        if (loadFailed)
            loadFailed(reasonOf(error));
        return std::nullopt;
    }
    shownWeek_.emplace(slot, yearMonth);
    return week;
}

void WeekNotes::save(int slot, const QString &yearMonth, const WeekNote &notes)
{
    if (!shownWeek_ || shownWeek_->first != slot || shownWeek_->second != yearMonth)
        return;
    WeekMemos memos;
    for (int day = 0; day < kDayBoxCount; ++day)
        memos[day] = notes[day].stored();
    try {
        db_.writeWeek(slot, yearMonth, memos);
        unsaved_ = false;
        failureTold_ = false;
    } catch (const std::exception &error) {
        // The edits stay where they are shown and the next save tries again;
        // the user hears of it once, not at every keystroke.
        unsaved_ = true;
        if (!failureTold_ && saveFailed) {
            failureTold_ = true;
            saveFailed(reasonOf(error));
        }
    }
}

} // namespace tavi
