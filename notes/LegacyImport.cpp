#include "notes/LegacyImport.h"

#include "formats/ParseError.h"
#include "formats/TextCodec.h"
#include "notes/NotesSearch.h"
#include "notes/WeekHistory.h"

#include <set>
#include <utility>

namespace tavi {
namespace {

constexpr int kSlotCount = 5;

const AccessTable &findTable(const AccessDump &dump, const QString &name)
{
    for (const AccessTable &table : dump.tables)
        if (table.name.compare(name, Qt::CaseInsensitive) == 0)
            return table;
    throw ImportError(QStringLiteral("the file has no table %1").arg(name).toStdString());
}

int findColumn(const AccessTable &table, const char *name)
{
    for (size_t c = 0; c < table.columns.size(); ++c) {
        if (table.columns[c].name.compare(QLatin1String(name), Qt::CaseInsensitive) != 0)
            continue;
        const int type = table.columns[c].type;
        if (type != kAccessTextType && type != kAccessMemoType)
            throw ImportError(QStringLiteral("column %1 of table %2 does not hold text").arg(name, table.name).toStdString());
        return int(c);
    }
    throw ImportError(QStringLiteral("table %1 has no column %2").arg(table.name, name).toStdString());
}

std::optional<QString> decoded(const std::optional<QByteArray> &stored, const QString &where)
{
    if (!stored)
        return std::nullopt;
    try {
        return decodeJetText(*stored);
    } catch (const ParseError &error) {
        throw ImportError(QStringLiteral("%1: %2").arg(where, QString::fromUtf8(error.what())).toStdString());
    }
}

void rollBackUnlessCommitted(Database &db, bool committed)
{
    if (!committed) {
        try {
            db.exec("ROLLBACK");
        } catch (const DatabaseError &) {
            // SQLite has rolled back already when the failure ended the transaction.
        }
    }
}

} // namespace

std::vector<LegacyTable> legacyNotes(const AccessDump &dump)
{
    std::vector<LegacyTable> tables;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const QString name = weekTableName(slot);
        const AccessTable &source = findTable(dump, name);
        const int keyColumn = findColumn(source, "YearMonthStr");
        std::array<int, kDayBoxCount> memoColumns{};
        for (int day = 0; day < kDayBoxCount; ++day)
            memoColumns[size_t(day)] = findColumn(source, kMemoColumns[size_t(day)]);

        LegacyTable table{name, {}};
        for (size_t r = 0; r < source.rows.size(); ++r) {
            const auto &row = source.rows[r];
            const QString where = QStringLiteral("table %1, row %2").arg(name).arg(r + 1);
            if (row.size() != source.columns.size())
                throw ImportError(QStringLiteral("%1 has the wrong number of values").arg(where).toStdString());
            LegacyRow legacy;
            legacy.key = decoded(row[size_t(keyColumn)], where);
            for (int day = 0; day < kDayBoxCount; ++day) {
                const auto text = decoded(row[size_t(memoColumns[size_t(day)])], where);
                if (text)
                    legacy.memos[size_t(day)] = encodeGbk(*text);
            }
            table.rows.push_back(std::move(legacy));
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

ImportReport importLegacyNotes(Database &db, const std::vector<LegacyTable> &tables, bool replace,
                               std::int64_t now)
{
    ImportReport report;
    ensureHistoryTables(db);
    db.exec("BEGIN IMMEDIATE");
    bool committed = false;
    try {
        for (const LegacyTable &table : tables) {
            Statement existing(db, QStringLiteral("select 1 from %1 where YearMonthStr is ?1 limit 1").arg(table.name));
            std::set<std::optional<QString>> checked;
            for (const LegacyRow &row : table.rows) {
                if (!checked.insert(row.key).second)
                    continue;
                existing.reset();
                row.key ? existing.bindText(1, *row.key) : existing.bindNull(1);
                if (existing.next())
                    report.conflicts.append(table.name + u' ' + row.key.value_or(QStringLiteral("(NULL)")));
            }
            if (replace) {
                // The week being replaced stays as a version, as the program keeps one before a restore.
                const int slot = table.name.back().unicode() - u'A' + 1;
                QString columns;
                for (const char *column : kMemoColumns)
                    columns += (columns.isEmpty() ? QString() : QStringLiteral(", ")) + QLatin1String(column);
                Statement stored(db, QStringLiteral("select %1 from %2 where YearMonthStr = ?1 order by rowid limit 1")
                                         .arg(columns, table.name));
                Statement remove(db, QStringLiteral("delete from %1 where YearMonthStr is ?1").arg(table.name));
                for (const auto &key : checked) {
                    if (key) {
                        stored.reset();
                        stored.bindText(1, *key);
                        if (stored.next()) {
                            WeekMemos memos;
                            for (int day = 0; day < kDayBoxCount; ++day)
                                memos[day] = stored.bytes(day);
                            keepVersion(db, slot, *key, memos, now, now);
                        }
                    }
                    remove.reset();
                    key ? remove.bindText(1, *key) : remove.bindNull(1);
                    remove.run();
                }
            }
        }
        if (!report.conflicts.isEmpty() && !replace) {
            db.exec("ROLLBACK");
            committed = true; // nothing to undo
            return report;
        }
        for (const LegacyTable &table : tables) {
            QString columns = QStringLiteral("YearMonthStr");
            for (const char *column : kMemoColumns)
                columns += QStringLiteral(", ") + QLatin1String(column);
            Statement insert(db, QStringLiteral("insert into %1 (%2) values (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
                                     .arg(table.name, columns));
            ImportCount count{table.name, 0, 0};
            for (const LegacyRow &row : table.rows) {
                insert.reset();
                row.key ? insert.bindText(1, *row.key) : insert.bindNull(1);
                count.values += row.key ? 1 : 0;
                for (int day = 0; day < kDayBoxCount; ++day) {
                    const auto &memo = row.memos[size_t(day)];
                    memo ? insert.bind(day + 2, *memo) : insert.bindNull(day + 2);
                    count.values += memo ? 1 : 0;
                }
                insert.run();
                ++count.rows;
            }
            report.counts.push_back(count);
        }
        if (hasSearchIndex(db))
            rebuildSearchIndex(db); // the imported weeks can be found at once
        db.exec("COMMIT");
        committed = true;
        report.written = true;
    } catch (...) {
        rollBackUnlessCommitted(db, committed);
        throw;
    }
    return report;
}

} // namespace tavi
