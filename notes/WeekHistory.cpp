#include "notes/WeekHistory.h"

#include "storage/Database.h"

namespace tavi {
namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

QString memoColumnList()
{
    QString columns;
    for (const char *column : kMemoColumns)
        columns += QStringLiteral(", ") + QLatin1String(column);
    return columns;
}

WeekVersion versionFrom(Statement &select)
{
    WeekVersion version;
    version.id = select.integer(0);
    version.slot = int(select.integer(1));
    version.yearMonth = QString::fromUtf8(select.bytes(2));
    version.storedAt = select.integer(3);
    for (int day = 0; day < kDayBoxCount; ++day)
        version.memos[day] = select.bytes(4 + day);
    return version;
}

} // namespace

void ensureHistoryTables(Database &db)
{
    db.exec("CREATE TABLE IF NOT EXISTS tavi_history (id INTEGER PRIMARY KEY, slot INTEGER NOT NULL, "
            "year_month TEXT NOT NULL, stored_at INTEGER NOT NULL, replaced_at INTEGER NOT NULL, "
            "MondayCon BLOB, TuesdayCon BLOB, WednesdayCon BLOB, ThursdayCon BLOB, FridayCon BLOB, SaturdayCon BLOB);"
            "CREATE INDEX IF NOT EXISTS tavi_history_week ON tavi_history (slot, year_month, stored_at);"
            "CREATE TABLE IF NOT EXISTS tavi_week_times (slot INTEGER NOT NULL, year_month TEXT NOT NULL, "
            "stored_at INTEGER NOT NULL, PRIMARY KEY (slot, year_month));");
}

std::optional<std::int64_t> weekStoredAt(NotesDatabase &notes, int slot, const QString &yearMonth)
{
    const auto select =
        notes.prepared(QStringLiteral("select stored_at from tavi_week_times where slot = ?1 and year_month = ?2"));
    select->bind(1, std::int64_t(slot));
    select->bindText(2, yearMonth);
    if (!select->next())
        return std::nullopt;
    return select->integer(0);
}

void setWeekStoredAt(NotesDatabase &notes, int slot, const QString &yearMonth, std::int64_t at)
{
    const auto upsert =
        notes.prepared(QStringLiteral("insert into tavi_week_times (slot, year_month, stored_at) values (?1, ?2, ?3) "
                                      "on conflict (slot, year_month) do update set stored_at = excluded.stored_at"));
    upsert->bind(1, std::int64_t(slot));
    upsert->bindText(2, yearMonth);
    upsert->bind(3, at);
    upsert->run();
}

void keepVersion(Database &db, int slot, const QString &yearMonth, const WeekMemos &memos, std::int64_t storedAt,
                 std::int64_t now)
{
    Statement insert(db, QStringLiteral("insert into tavi_history (slot, year_month, stored_at, replaced_at")
                             + memoColumnList() + QStringLiteral(") values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"));
    insert.bind(1, std::int64_t(slot));
    insert.bindText(2, yearMonth);
    insert.bind(3, storedAt);
    insert.bind(4, now);
    for (int day = 0; day < kDayBoxCount; ++day)
        insert.bind(5 + day, memos[day]);
    insert.run();
}

std::vector<WeekVersion> weekVersions(Database &db, int slot, const QString &yearMonth)
{
    Statement select(db, QStringLiteral("select id, slot, year_month, stored_at") + memoColumnList()
                             + QStringLiteral(" from tavi_history where slot = ?1 and year_month = ?2 "
                                              "order by stored_at desc, id desc"));
    select.bind(1, std::int64_t(slot));
    select.bindText(2, yearMonth);
    std::vector<WeekVersion> versions;
    while (select.next())
        versions.push_back(versionFrom(select));
    return versions;
}

std::optional<WeekVersion> weekVersion(Database &db, std::int64_t id)
{
    Statement select(db, QStringLiteral("select id, slot, year_month, stored_at") + memoColumnList()
                             + QStringLiteral(" from tavi_history where id = ?1"));
    select.bind(1, id);
    if (!select.next())
        return std::nullopt;
    return versionFrom(select);
}

void pruneVersions(Database &db, std::int64_t now)
{
    Statement old(db, QStringLiteral("delete from tavi_history where stored_at < ?1"));
    old.bind(1, now - 90 * kDay);
    old.run();
    // Older than a week: the newest of each week's day stays.
    Statement thin(db, QStringLiteral(
                           "delete from tavi_history where stored_at < ?1 and id not in ("
                           " select id from (select id, row_number() over (partition by slot, year_month,"
                           " date(stored_at, 'unixepoch', 'localtime') order by stored_at desc, id desc) as n"
                           " from tavi_history where stored_at < ?1) where n = 1)"));
    thin.bind(1, now - 7 * kDay);
    thin.run();
}

} // namespace tavi
