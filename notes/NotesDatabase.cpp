#include "notes/NotesDatabase.h"

#include "notes/DayNote.h"
#include "notes/NotesSchema.h"
#include "notes/WeekHistory.h"

#include <QFileInfo>

namespace tavi {

const std::array<const char *, kDayBoxCount> kMemoColumns = {
    "MondayCon", "TuesdayCon", "WednesdayCon", "ThursdayCon", "FridayCon", "SaturdayCon",
};

QString weekTableName(int slot)
{
    if (slot < 1 || slot > 5)
        return {};
    return QStringLiteral("tb_") + QChar(u'A' + (slot - 1));
}

QString sqlQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

QString loadSelectSql(int slot, const QString &yearMonth)
{
    return QStringLiteral(" select * from ") + weekTableName(slot) + QStringLiteral(" where YearMonthStr = ")
        + sqlQuoted(yearMonth);
}

QString saveSelectSql(int slot, const QString &yearMonth)
{
    return QStringLiteral(" select * from  ") + u' ' + weekTableName(slot) + u' '
        + QStringLiteral(" where YearMonthStr = ") + sqlQuoted(yearMonth);
}

QString insertSql(int slot, const QString &yearMonth)
{
    return QStringLiteral("insert into  ") + weekTableName(slot) + QStringLiteral(" (YearMonthStr) Values(")
        + sqlQuoted(yearMonth) + u')';
}

void createNotesDatabase(const QString &path)
{
    Database db(path, Database::Open::CreateNew);
    db.exec(notesSchemaSql());
}

bool NotesDatabase::open(const QString &databasePath)
{
    statements_.clear();
    db_.reset();
    identityColumns_.clear();
    // SQLite would make an empty file a database of its own.
    if (QFileInfo(databasePath).size() == 0)
        return false;
    try {
        auto db = std::make_unique<Database>(databasePath);
        // Without its week tables every load and save would fail without a word.
        QString names;
        for (int slot = 1; slot <= 5; ++slot)
            names += (slot > 1 ? QStringLiteral(", ") : QString()) + sqlQuoted(weekTableName(slot).toLower());
        Statement tables(*db, QStringLiteral("select count(*) from sqlite_master where type = 'table'")
                                  + QStringLiteral(" and lower(name) in (") + names + u')');
        if (!tables.next() || tables.integer(0) != 5)
            return false;
        if (!db->isReadOnly())
            ensureHistoryTables(*db); // an older or imported database gets them here
        db_ = std::move(db);
        return true;
    } catch (const DatabaseError &) {
        return false;
    }
}

NotesDatabase::CachedStatement NotesDatabase::prepared(const QString &sql)
{
    // Keys change with the month: a long session must not keep them all.
    constexpr std::size_t kMostStatements = 64;
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
        if (statements_.size() >= kMostStatements)
            statements_.clear();
        found = statements_.emplace(sql, std::make_unique<Statement>(*db_, sql)).first;
    }
    return CachedStatement(*found->second);
}

std::optional<WeekMemos> NotesDatabase::readWeek(int slot, const QString &yearMonth)
{
    db_->checkNotMoved();
    const CachedStatement select = prepared(loadSelectSql(slot, yearMonth));
    if (!select->next())
        return std::nullopt;
    WeekMemos memos;
    for (int day = 0; day < kDayBoxCount; ++day) {
        const int column = select->columnIndex(kMemoColumns[day]);
        if (column < 0)
            throw DatabaseError(std::string("no column ") + kMemoColumns[day]);
        memos[day] = select->bytes(column);
    }
    return memos;
}

int NotesDatabase::identityColumn(const QString &table)
{
    auto found = identityColumns_.find(table);
    if (found != identityColumns_.end())
        return found->second;
    // A column declared INTEGER PRIMARY KEY is the row's identity (SQLite's rowid).
    int column = -1;
    int primaryKeys = 0;
    QString name;
    Statement info(*db_, QStringLiteral("PRAGMA table_info(") + sqlQuoted(table) + u')');
    const int nameColumn = info.columnIndex("name"), typeColumn = info.columnIndex("type"),
              pkColumn = info.columnIndex("pk");
    while (info.next()) {
        if (info.integer(pkColumn) > 0) {
            ++primaryKeys;
            if (QString::fromUtf8(info.bytes(typeColumn)).compare(u"INTEGER", Qt::CaseInsensitive) == 0)
                name = QString::fromUtf8(info.bytes(nameColumn));
        }
    }
    if (primaryKeys == 1 && !name.isEmpty()) {
        Statement probe(*db_, QStringLiteral("select * from ") + table + QStringLiteral(" limit 0"));
        column = probe.columnIndex(name.toUtf8().constData());
    }
    identityColumns_[table] = column;
    return column;
}

void NotesDatabase::writeWeek(int slot, const QString &yearMonth, const WeekMemos &memos)
{
    db_->checkNotMoved();
    const QString table = weekTableName(slot);
    auto firstRowId = [&]() -> std::optional<std::int64_t> {
        const CachedStatement select = prepared(saveSelectSql(slot, yearMonth));
        if (!select->next())
            return std::nullopt;
        const int identity = identityColumn(table);
        if (identity >= 0)
            return select->integer(identity);
        // No identity column: the same scan, asked for its rowid, meets the same first row.
        Statement rowid(*db_, QStringLiteral("select rowid from ") + table
                                     + QStringLiteral(" where YearMonthStr = ") + sqlQuoted(yearMonth));
        if (!rowid.next())
            return std::nullopt;
        return rowid.integer(0);
    };

    std::optional<std::int64_t> row = firstRowId();
    if (!row) {
        Statement(*db_, insertSql(slot, yearMonth)).run();
        row = firstRowId();
        if (!row)
            return;
    }
    QString update = QStringLiteral("update ") + table + QStringLiteral(" set ");
    for (int day = 0; day < kDayBoxCount; ++day)
        update += QString::fromLatin1(kMemoColumns[day]) + QStringLiteral(" = ?") + QString::number(day + 1)
            + (day + 1 < kDayBoxCount ? QStringLiteral(", ") : QString());
    update += QStringLiteral(" where rowid = ?7");
    const CachedStatement post = prepared(update);
    for (int day = 0; day < kDayBoxCount; ++day)
        post->bind(day + 1, memos[day]);
    post->bind(7, *row);
    post->run();
}

bool NotesDatabase::holdsNotes()
{
    for (int slot = 1; slot <= 5; ++slot) {
        QString columns;
        for (const char *column : kMemoColumns)
            columns += (columns.isEmpty() ? QString() : QStringLiteral(", ")) + QLatin1String(column);
        Statement select(*db_, QStringLiteral("select ") + columns + QStringLiteral(" from ") + weekTableName(slot));
        while (select.next()) {
            for (int day = 0; day < kDayBoxCount; ++day) {
                if (!DayNote(select.bytes(day)).document().plainText().trimmed().isEmpty())
                    return true;
            }
        }
    }
    return false;
}

} // namespace tavi
