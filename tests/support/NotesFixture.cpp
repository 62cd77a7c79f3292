#include "tests/support/NotesFixture.h"

#include <QDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tavi::test {

ProgramFolderFixture::ProgramFolderFixture()
{
    QDir root(dir_.path());
    root.mkpath(QStringLiteral("Data"));
    root.mkpath(QStringLiteral("source/DeskTopBG"));
    createNotesDatabase(databasePath());
}

StatementLog::StatementLog(Database &db) : db_(db)
{
    sqlite3_trace_v2(db.handle(), SQLITE_TRACE_STMT, &StatementLog::onTrace, this);
}

StatementLog::~StatementLog()
{
    sqlite3_trace_v2(db_.handle(), 0, nullptr, nullptr);
}

int StatementLog::onTrace(unsigned, void *context, void *statement, void *)
{
    auto *log = static_cast<StatementLog *>(context);
    log->statements_.append(QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt *>(statement))));
    return 0;
}

QStringList StatementLog::writes() const
{
    QStringList result;
    for (const QString &sql : statements_) {
        const QString verb = sql.trimmed().section(u' ', 0, 0).toLower();
        if (verb == u"insert" || verb == u"update" || verb == u"delete")
            result.append(sql);
    }
    return result;
}

void NotesInspector::exec(const QString &sql)
{
    db_.exec(sql.toUtf8().constData());
}

std::vector<QStringList> NotesInspector::rows(const QString &table)
{
    std::vector<QStringList> result;
    Statement select(db_, QStringLiteral("select YearMonthStr, MondayCon, TuesdayCon, WednesdayCon, ThursdayCon, "
                                         "FridayCon, SaturdayCon from ")
                              + table + QStringLiteral(" order by rowid"));
    while (select.next()) {
        QStringList row;
        for (int column = 0; column < 7; ++column)
            row.append(select.isNull(column) ? QStringLiteral("<null>") : QString::fromLatin1(select.bytes(column)));
        result.push_back(row);
    }
    return result;
}

QByteArray NotesInspector::memo(const QString &table, const QString &yearMonth, int day)
{
    Statement select(db_, QStringLiteral("select ") + QString::fromLatin1(kMemoColumns[day]) + QStringLiteral(" from ")
                              + table + QStringLiteral(" where YearMonthStr = ") + sqlQuoted(yearMonth)
                              + QStringLiteral(" order by rowid"));
    if (!select.next()) {
        ADD_FAILURE() << "no row " << yearMonth.toStdString() << " in " << table.toStdString();
        return {};
    }
    return select.bytes(0);
}

void NotesInspector::insertWeek(const QString &table, const QString &yearMonth, const WeekMemos &memos)
{
    Statement insert(db_, QStringLiteral("insert into ") + table
                              + QStringLiteral(" (YearMonthStr, MondayCon, TuesdayCon, WednesdayCon, ThursdayCon, "
                                               "FridayCon, SaturdayCon) values (")
                              + sqlQuoted(yearMonth) + QStringLiteral(", ?1, ?2, ?3, ?4, ?5, ?6)"));
    for (int day = 0; day < kDayBoxCount; ++day)
        insert.bind(day + 1, memos[day]);
    insert.run();
}

} // namespace tavi::test
