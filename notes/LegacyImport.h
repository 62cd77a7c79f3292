#pragma once

#include "notes/NotesDatabase.h"
#include "storage/AccessFile.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

// Bringing the notes of the Windows version's Access database into the
// notes database.
namespace tavi {

class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LegacyRow {
    std::optional<QString> key;                               // YearMonthStr
    std::array<std::optional<QByteArray>, kDayBoxCount> memos; // GBK bytes; nothing for NULL
};

struct LegacyTable {
    QString name; // "tb_A" .. "tb_E"
    std::vector<LegacyRow> rows; // in the order the file holds them
};

// Picks the five week tables out of the file's tables and turns their text
// into the notes' GBK bytes. A missing table or column, a column that is not
// text, or text that does not decode throws ImportError.
std::vector<LegacyTable> legacyNotes(const AccessDump &dump);

struct ImportCount {
    QString table;
    int rows = 0;
    int values = 0; // values that are not NULL, the key included
};

struct ImportReport {
    bool written = false;
    std::vector<ImportCount> counts;
    QStringList conflicts; // "tb_A 20266": keys the database already holds
};

// Adds every row to the notes database in one transaction. When the database
// already holds rows for keys the import brings, nothing is written unless
// replace is set; then each such week is kept as a version (at now, seconds
// since 1970) and its rows are deleted first. Throws DatabaseError, leaving
// the database as it was.
ImportReport importLegacyNotes(Database &db, const std::vector<LegacyTable> &tables, bool replace,
                               std::int64_t now);

} // namespace tavi
