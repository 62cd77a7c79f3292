#include "notes/WeekNotes.h"

#include "widgets/RichEdit.h"

namespace tavi {
namespace {

QString reasonOf(const std::exception &error)
{
    if (const auto *database = dynamic_cast<const DatabaseError *>(&error))
        return database->reason();
    return QString::fromUtf8(error.what());
}

} // namespace

WeekNotes::WeekNotes(TDM &dm, ProgramState &state, const std::array<RichEdit *, kDayBoxCount> &boxes)
    : dm_(dm), state_(state), boxes_(boxes)
{
}

void WeekNotes::LoadWeek(int slot, const QString &yearMonth)
{
    state_.NotesReady = false;
    shownWeek_.reset();
    unsaved_ = false;
    try {
        const std::optional<WeekMemos> memos = dm_.readWeek(slot, yearMonth);
        for (int day = 0; day < kDayBoxCount; ++day) {
            boxes_[day]->setReadOnly(false);
            if (memos)
                boxes_[day]->loadContent((*memos)[day]);
            else
                boxes_[day]->setContentText(QString());
        }
    } catch (const std::exception &error) {
        for (RichEdit *box : boxes_) {
            box->setContentText(QString());
            box->setReadOnly(true);
        }
        if (loadFailed)
            loadFailed(reasonOf(error));
        return; // NotesReady stays false
    }
    shownWeek_.emplace(slot, yearMonth);
    state_.NotesReady = true;
}

void WeekNotes::SaveWeek(int slot, const QString &yearMonth)
{
    state_.NotesReady = false;
    WeekMemos memos;
    for (int day = 0; day < kDayBoxCount; ++day) {
        boxes_[day]->clearProtection();
        memos[day] = boxes_[day]->rtf();
    }
    if (shownWeek_ && shownWeek_->first == slot && shownWeek_->second == yearMonth) {
        try {
            dm_.writeWeek(slot, yearMonth, memos);
            unsaved_ = false;
            failureTold_ = false;
        } catch (const std::exception &error) {
            // The edits stay in the boxes and the next save tries again; the
            // user hears of it once, not at every keystroke.
            unsaved_ = true;
            if (!failureTold_ && saveFailed) {
                failureTold_ = true;
                saveFailed(reasonOf(error));
            }
        }
    }
    state_.NotesReady = true;
}

void WeekNotes::autoSave(bool formShown, int currentWeekSlot, const QString &yearMonth)
{
    if (!formShown || currentWeekSlot == 0 || !state_.NotesReady)
        return;
    SaveWeek(currentWeekSlot, yearMonth);
}

} // namespace tavi
