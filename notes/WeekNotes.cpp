#include "notes/WeekNotes.h"

#include "notes/NotesDatabase.h"
#include "storage/Database.h"

namespace tavi {

WeekNote readWeekNotes(NotesDatabase &db, int slot, const QString &yearMonth)
{
    WeekNote week;
    if (const std::optional<WeekMemos> memos = db.readWeek(slot, yearMonth)) {
        for (int day = 0; day < kDayBoxCount; ++day)
            week[day] = DayNote((*memos)[day]);
    }
    return week;
}

WeekNotes::WeekNotes(NotesDatabase &db, NotesWriter &writer) : db_(db), writer_(writer)
{
    saved_ = QObject::connect(&writer_, &NotesWriter::saved, &writer_, [this] { failureTold_ = false; });
    failed_ = QObject::connect(&writer_, &NotesWriter::saveFailed, &writer_, [this](const QString &reason) {
        // The edits stay where they are shown and the next save tries again;
        // the user hears of it once, not at every keystroke.
        if (failureTold_)
            return;
        failureTold_ = true;
        if (saveFailed)
            saveFailed(reason);
    });
}

WeekNotes::~WeekNotes()
{
    QObject::disconnect(saved_);
    QObject::disconnect(failed_);
}

std::optional<WeekNote> WeekNotes::load(int slot, const QString &yearMonth)
{
    writer_.flush(); // the week read is the week last handed over
    shownWeek_.reset();
    WeekNote week;
    try {
        week = readWeekNotes(db_, slot, yearMonth);
    } catch (const std::exception &error) {
        if (loadFailed)
            loadFailed(reasonOf(error));
        return std::nullopt;
    }
    shownWeek_.emplace(slot, yearMonth);
    return week;
}

void WeekNotes::save(int slot, const QString &yearMonth, const WeekNote &notes, SaveReason reason)
{
    if (!shownWeek_ || shownWeek_->first != slot || shownWeek_->second != yearMonth)
        return;
    WeekMemos memos;
    for (int day = 0; day < kDayBoxCount; ++day)
        memos[day] = notes[day].stored();
    writer_.save(slot, yearMonth, memos, reason);
}

bool WeekNotes::storeAll()
{
    return writer_.flush();
}

} // namespace tavi
