#pragma once

#include "notes/DayNote.h"
#include "storage/Database.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <map>
#include <memory>
#include <optional>

namespace tavi {

// The six memo columns of a week's row, Monday to Saturday-with-Sunday, as
// the bytes stored (RTF as the day boxes write it).
using WeekMemos = std::array<QByteArray, kDayBoxCount>;

extern const std::array<const char *, kDayBoxCount> kMemoColumns;

// "tb_A" .. "tb_E" for week slots 1..5; the empty text for any other slot,
// which makes every statement on it fail.
QString weekTableName(int slot);
// text as an SQL string literal: in single quotes, inner quotes doubled.
QString sqlQuoted(const QString &text);

// The three statements on the notes, exactly as the program has always run them.
QString loadSelectSql(int slot, const QString &yearMonth);
QString saveSelectSql(int slot, const QString &yearMonth);
QString insertSql(int slot, const QString &yearMonth);

// Makes a new notes database at path with the five week tables. For set-up
// tools only: the program itself never creates its database.
void createNotesDatabase(const QString &path);

// The data module: the one connection to the notes database.
class NotesDatabase {
public:
    // Opens the notes database at path (it must exist). False when it is
    // missing, not a database, lacks one of the week tables or cannot be opened.
    bool open(const QString &databasePath);
    bool isOpen() const { return db_ != nullptr; }
    Database &database() { return *db_; }

    // Runs the load select: the first row's six memos (NULL as empty), or
    // nothing when the month has no row. Throws DatabaseError.
    std::optional<WeekMemos> readWeek(int slot, const QString &yearMonth);
    // Runs the save select; without a row, the insert and the select again;
    // then writes the six memos into the first row returned. Throws DatabaseError.
    void writeWeek(int slot, const QString &yearMonth, const WeekMemos &memos);
    // Whether any day of any week holds text (rows of empty boxes do not count).
    bool holdsNotes();

private:
    // Column of the table's own row identity in "select *" results, or -1.
    int identityColumn(const QString &table);

public:

    // A statement prepared once per text, reset when the caller is done with
    // it: a keystroke's save then prepares nothing.
    class CachedStatement {
    public:
        explicit CachedStatement(Statement &statement) : statement_(statement) {}
        ~CachedStatement() { statement_.reset(); }
        CachedStatement(const CachedStatement &) = delete;
        CachedStatement &operator=(const CachedStatement &) = delete;
        Statement *operator->() const { return &statement_; }
        Statement &operator*() const { return statement_; }

    private:
        Statement &statement_;
    };
    CachedStatement prepared(const QString &sql);

private:
    std::unique_ptr<Database> db_;
    std::map<QString, int> identityColumns_;
    std::map<QString, std::unique_ptr<Statement>> statements_; // before db_ goes
};

} // namespace tavi
