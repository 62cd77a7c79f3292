#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Finding notes in any year: a full-text index of every day's plain text
// (SQLite FTS5 with the trigram tokenizer) in the notes database. Indexing a
// day costs more than storing it, so a save only marks the days it changed,
// in its own transaction, and the writer indexes them once typing pauses; a
// search reads the marked days from the notes themselves. Index and marks
// together always answer for every stored day.
namespace tavi {

class Database;

// One day that holds the text searched for.
struct SearchHit {
    int year = 0;
    int month = 0;
    int slot = 0;
    int day = 0;       // 0 Monday .. 5 Saturday-with-Sunday
    QString text;      // the day's plain text, paragraphs and lines ending in '\n'
    qsizetype at = 0;  // where the first match starts in text
    qsizetype length = 0;
};

// The year and month a week key ("20266", "202612") names; nothing for a key that names none.
std::optional<std::pair<int, int>> yearMonthOf(const QString &yearMonth);

// Whether the index is there; a missing one is to be built (rebuildSearchIndex).
bool hasSearchIndex(Database &db);
// Makes the index anew from every week the notes database holds: what
// importing, a damaged index or an older database calls for. Throws DatabaseError.
void rebuildSearchIndex(Database &db);
// Marks the day as stored anew, for indexChangedDays. Throws DatabaseError.
void markDayChanged(Database &db, int slot, const QString &yearMonth, int day);
// Whether days are marked.
bool hasChangedDays(Database &db);
// Indexes every marked day's stored note, replacing what the index held for
// it, and removes the marks; within the caller's transaction. Throws DatabaseError.
void indexChangedDays(Database &db);

// The days whose text holds term, by substring and without regard to case,
// newest first (then by slot and weekday), at most limit of them. Throws
// DatabaseError when the index cannot be read (it is then to be rebuilt).
std::vector<SearchHit> searchNotes(Database &db, const QString &term, int limit = 500);

// The words around a hit, as a result list shows them: up to `around`
// characters on either side, on one line.
struct Excerpt {
    QString before, match, after;
};
Excerpt excerptOf(const SearchHit &hit, int around = 16);

} // namespace tavi
