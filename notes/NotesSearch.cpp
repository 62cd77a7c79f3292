#include "notes/NotesSearch.h"

#include "notes/DayNote.h"
#include "notes/NotesDatabase.h"
#include "storage/Database.h"

#include <QSet>

namespace tavi {
namespace {

// A day's row: one number from its week and weekday, so a save replaces it in place.
std::int64_t rowOf(int slot, int year, int month, int day)
{
    return ((std::int64_t(year) * 100 + month) * 10 + slot) * 10 + day;
}

void createIndex(Database &db)
{
    db.exec("CREATE VIRTUAL TABLE tavi_search USING fts5(text, slot UNINDEXED, year UNINDEXED, month UNINDEXED,"
            " day UNINDEXED, tokenize = 'trigram')");
}

// The plain text as the index keeps it: paragraph and line breaks as '\n'.
QString indexedText(const QByteArray &memo)
{
    QString text = DayNote(memo).document().plainText();
    text.replace(QChar(0x2028), u'\n');
    return text;
}

bool hasCasedLetters(const QString &text)
{
    for (const QChar c : text)
        if (c.toLower() != c.toUpper())
            return true;
    return false;
}

} // namespace

std::optional<std::pair<int, int>> yearMonthOf(const QString &yearMonth)
{
    bool yearOk = false, monthOk = false;
    const int year = yearMonth.left(4).toInt(&yearOk);
    const int month = yearMonth.mid(4).toInt(&monthOk);
    if (yearMonth.size() < 5 || !yearOk || !monthOk || month < 1 || month > 12 || year < 1)
        return std::nullopt;
    return std::make_pair(year, month);
}

bool hasSearchIndex(Database &db)
{
    Statement table(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'tavi_search'"));
    return table.next();
}

void indexDay(Database &db, int slot, const QString &yearMonth, int day, const QByteArray &memo)
{
    const std::optional<std::pair<int, int>> ym = yearMonthOf(yearMonth);
    if (!ym)
        return; // a key that names no month cannot be shown either
    const std::int64_t row = rowOf(slot, ym->first, ym->second, day);
    Statement remove(db, QStringLiteral("delete from tavi_search where rowid = ?1"));
    remove.bind(1, row);
    remove.run();
    const QString text = indexedText(memo);
    if (text.isEmpty())
        return;
    Statement insert(db, QStringLiteral("insert into tavi_search (rowid, text, slot, year, month, day)"
                                        " values (?1, ?2, ?3, ?4, ?5, ?6)"));
    insert.bind(1, row);
    insert.bindText(2, text);
    insert.bind(3, std::int64_t(slot));
    insert.bind(4, std::int64_t(ym->first));
    insert.bind(5, std::int64_t(ym->second));
    insert.bind(6, std::int64_t(day));
    insert.run();
}

void rebuildSearchIndex(Database &db)
{
    try {
        db.exec("SAVEPOINT drop_index; DROP TABLE IF EXISTS tavi_search; RELEASE drop_index;");
    } catch (const DatabaseError &) {
        // Damaged beyond opening (a shadow table gone): the table cannot be dropped
        // the usual way. Its schema entry owns no pages; its shadow tables are
        // ordinary tables that drop as such.
        db.exec("ROLLBACK TO drop_index; RELEASE drop_index;"
                "PRAGMA writable_schema = ON;"
                "DELETE FROM sqlite_master WHERE type = 'table' AND name = 'tavi_search';"
                "PRAGMA writable_schema = RESET;"
                "DROP TABLE IF EXISTS tavi_search_data; DROP TABLE IF EXISTS tavi_search_idx;"
                "DROP TABLE IF EXISTS tavi_search_content; DROP TABLE IF EXISTS tavi_search_docsize;"
                "DROP TABLE IF EXISTS tavi_search_config;");
    }
    createIndex(db);
    for (int slot = 1; slot <= 5; ++slot) {
        QString columns = QStringLiteral("YearMonthStr");
        for (const char *column : kMemoColumns)
            columns += QStringLiteral(", ") + QLatin1String(column);
        // The first row of each month, as a load shows it.
        Statement rows(db, QStringLiteral("select %1 from %2 order by rowid").arg(columns, weekTableName(slot)));
        QSet<QString> seen;
        while (rows.next()) {
            const QString key = QString::fromUtf8(rows.bytes(0));
            if (seen.contains(key))
                continue;
            seen.insert(key);
            for (int day = 0; day < kDayBoxCount; ++day)
                indexDay(db, slot, key, day, rows.bytes(1 + day));
        }
    }
}

std::vector<SearchHit> searchNotes(Database &db, const QString &term, int limit)
{
    std::vector<SearchHit> hits;
    if (term.isEmpty())
        return hits;
    const QString order = QStringLiteral(" order by year desc, month desc, slot, day limit ?2");
    const bool indexed = term.size() >= 3; // the trigram index answers three characters or more
    QString sql = QStringLiteral("select slot, year, month, day, text from tavi_search where ");
    if (indexed)
        sql += QStringLiteral("tavi_search match ?1");
    else if (hasCasedLetters(term))
        sql += QStringLiteral("instr(lower(text), lower(?1)) > 0");
    else
        sql += QStringLiteral("instr(text, ?1) > 0");
    Statement select(db, sql + order);
    if (indexed) {
        QString phrase = term;
        phrase.replace(u'"', QStringLiteral("\"\""));
        select.bindText(1, u'"' + phrase + u'"');
    } else {
        select.bindText(1, term);
    }
    select.bind(2, std::int64_t(limit));
    while (select.next()) {
        SearchHit hit{int(select.integer(1)), int(select.integer(2)), int(select.integer(0)), int(select.integer(3)),
                      QString::fromUtf8(select.bytes(4))};
        hit.at = hit.text.indexOf(term, 0, Qt::CaseInsensitive);
        if (hit.at < 0)
            continue; // a case folding the index and Qt do not share
        hit.length = term.size();
        hits.push_back(std::move(hit));
    }
    return hits;
}

Excerpt excerptOf(const SearchHit &hit, int around)
{
    const auto oneLine = [](QString text) { return text.replace(u'\n', u' '); };
    const qsizetype from = std::max<qsizetype>(0, hit.at - around);
    const qsizetype to = std::min(hit.text.size(), hit.at + hit.length + around);
    return {oneLine(hit.text.mid(from, hit.at - from)), oneLine(hit.text.mid(hit.at, hit.length)),
            oneLine(hit.text.mid(hit.at + hit.length, to - hit.at - hit.length))};
}

} // namespace tavi
