#include "notes/NotesSearch.h"

#include "notes/DayNote.h"
#include "notes/NotesDatabase.h"
#include "storage/Database.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace tavi {
namespace {

// A day's row: one number from its week and weekday, so a save replaces it in place.
std::int64_t rowOf(int slot, int year, int month, int day)
{
    return ((std::int64_t(year) * 100 + month) * 10 + slot) * 10 + day;
}

// Results come newest first, then by slot and weekday: the order of this key of a row.
std::pair<std::int64_t, std::int64_t> newestFirst(std::int64_t row)
{
    return {-(row / 100), row % 100};
}

// Positions only cost room: candidates are checked against the text anyway.
void createIndex(Database &db)
{
    db.exec("CREATE VIRTUAL TABLE tavi_search USING fts5(text, tokenize = 'trigram', detail = 'none');"
            "CREATE TABLE tavi_search_changed (row INTEGER PRIMARY KEY, slot INTEGER NOT NULL,"
            " yearMonth TEXT NOT NULL, day INTEGER NOT NULL);");
}

// The plain text as the index keeps it: paragraph and line breaks as '\n', and
// a break at the end, so that every two characters of it begin a trigram.
QString indexedText(const QByteArray &memo)
{
    QString text = DayNote(memo).document().plainText();
    text.replace(QChar(0x2028), u'\n');
    if (!text.isEmpty() && !text.endsWith(u'\n'))
        text += u'\n';
    return text;
}

// The stored note of a day: the first row of its month, as a load shows it.
QByteArray storedMemo(Database &db, int slot, const QString &yearMonth, int day)
{
    Statement select(db, QStringLiteral("select %1 from %2 where YearMonthStr = ?1 order by rowid limit 1")
                             .arg(QLatin1String(kMemoColumns[std::size_t(day)]), weekTableName(slot)));
    select.bindText(1, yearMonth);
    return select.next() ? select.bytes(0) : QByteArray();
}

// What the index holds for the day's row, replacing what it held.
void indexDay(Database &db, std::int64_t row, const QString &text)
{
    Statement remove(db, QStringLiteral("delete from tavi_search where rowid = ?1"));
    remove.bind(1, row);
    remove.run();
    if (text.isEmpty())
        return;
    Statement insert(db, QStringLiteral("insert into tavi_search (rowid, text) values (?1, ?2)"));
    insert.bind(1, row);
    insert.bindText(2, text);
    insert.run();
}

// The text of every marked day as stored now: the index's text of them is old.
std::map<std::int64_t, QString> changedDays(Database &db)
{
    std::map<std::int64_t, QString> days;
    Statement select(db, QStringLiteral("select row, slot, yearMonth, day from tavi_search_changed"));
    while (select.next()) {
        const int day = int(select.integer(3));
        if (day >= 0 && day < kDayBoxCount)
            days[select.integer(0)] = indexedText(storedMemo(db, int(select.integer(1)),
                                                             QString::fromUtf8(select.bytes(2)), day));
    }
    return days;
}

// The rows of the index that may hold term: a superset, checked against the text later.
std::vector<std::int64_t> candidateRows(Database &db, const QString &term)
{
    const QList<uint> characters = term.toUcs4(); // the index counts characters, not UTF-16 units
    std::vector<std::int64_t> rows;
    const auto collect = [&rows](Statement &select) {
        while (select.next())
            rows.push_back(select.integer(0));
    };
    if (characters.size() >= 3) {
        // Every trigram of the term (the tokenizer folds their case).
        QString query;
        for (qsizetype i = 0; i + 3 <= characters.size(); ++i) {
            QString trigram = QString::fromUcs4(reinterpret_cast<const char32_t *>(characters.data() + i), 3);
            query += u'"' + trigram.replace(u'"', QStringLiteral("\"\"")) + QStringLiteral("\" ");
        }
        Statement select(db, QStringLiteral("select rowid from tavi_search where tavi_search match ?1"));
        select.bindText(1, query);
        collect(select);
    } else if (characters.size() == 2) {
        // Too few for a trigram, but every pair in an indexed text begins one:
        // the rows holding a trigram of the vocabulary that begins with the pair.
        db.exec("CREATE VIRTUAL TABLE IF NOT EXISTS temp.tavi_search_terms USING fts5vocab(main, tavi_search, instance)");
        Statement select(db, QStringLiteral("select distinct doc from temp.tavi_search_terms where term >= ?1 and term < ?2"));
        const QString pair = term.toLower();
        select.bindText(1, pair);
        select.bindText(2, pair + QString::fromUcs4(U"\U0010FFFF")); // above every third character
        collect(select);
    } else {
        // One character: every text is read. SQLite's lower() folds ASCII only; Qt checks the rest.
        Statement select(db, QStringLiteral("select rowid from tavi_search where instr(lower(text), lower(?1)) > 0"));
        select.bindText(1, term);
        collect(select);
    }
    return rows;
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
    Statement tables(db, QStringLiteral("select count(*) from sqlite_master where type = 'table'"
                                        " and name in ('tavi_search', 'tavi_search_changed')"));
    return tables.next() && tables.integer(0) == 2;
}

void markDayChanged(Database &db, int slot, const QString &yearMonth, int day)
{
    const std::optional<std::pair<int, int>> ym = yearMonthOf(yearMonth);
    if (!ym)
        return; // a key that names no month cannot be shown either
    // Already marked: nothing is written, which is what keeps a keystroke's save cheap.
    Statement mark(db, QStringLiteral("insert or ignore into tavi_search_changed (row, slot, yearMonth, day)"
                                      " values (?1, ?2, ?3, ?4)"));
    mark.bind(1, rowOf(slot, ym->first, ym->second, day));
    mark.bind(2, std::int64_t(slot));
    mark.bindText(3, yearMonth);
    mark.bind(4, std::int64_t(day));
    mark.run();
}

bool hasChangedDays(Database &db)
{
    Statement any(db, QStringLiteral("select 1 from tavi_search_changed limit 1"));
    return any.next();
}

void indexChangedDays(Database &db)
{
    for (const auto &[row, text] : changedDays(db))
        indexDay(db, row, text);
    db.exec("DELETE FROM tavi_search_changed");
}

void rebuildSearchIndex(Database &db)
{
    try {
        db.exec("SAVEPOINT drop_index; DROP TABLE IF EXISTS tavi_search; DROP TABLE IF EXISTS tavi_search_changed;"
                " RELEASE drop_index;");
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
                "DROP TABLE IF EXISTS tavi_search_config; DROP TABLE IF EXISTS tavi_search_changed;");
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
            const std::optional<std::pair<int, int>> ym = yearMonthOf(key);
            if (!ym || seen.contains(key))
                continue;
            seen.insert(key);
            for (int day = 0; day < kDayBoxCount; ++day)
                indexDay(db, rowOf(slot, ym->first, ym->second, day), indexedText(rows.bytes(1 + day)));
        }
    }
}

std::vector<SearchHit> searchNotes(Database &db, const QString &term, int limit)
{
    std::vector<SearchHit> hits;
    if (term.isEmpty())
        return hits;
    const std::map<std::int64_t, QString> changed = changedDays(db);
    std::vector<std::int64_t> rows = candidateRows(db, term);
    std::erase_if(rows, [&changed](std::int64_t row) { return changed.contains(row); });
    for (const auto &[row, text] : changed)
        rows.push_back(row);
    // Sorted by their numbers first, so that only the texts shown are read.
    std::sort(rows.begin(), rows.end(), [](auto a, auto b) { return newestFirst(a) < newestFirst(b); });
    Statement indexed(db, QStringLiteral("select text from tavi_search where rowid = ?1"));
    for (const std::int64_t row : rows) {
        if (hits.size() >= std::size_t(limit))
            break;
        QString text;
        if (const auto found = changed.find(row); found != changed.end()) {
            text = found->second;
        } else {
            indexed.reset();
            indexed.bind(1, row);
            if (!indexed.next())
                continue;
            text = QString::fromUtf8(indexed.bytes(0));
        }
        const qsizetype at = text.indexOf(term, 0, Qt::CaseInsensitive);
        if (at < 0)
            continue; // a candidate only, or a case folding the index and Qt do not share
        hits.push_back({int(row / 10000), int(row / 100 % 100), int(row / 10 % 10), int(row % 10), text, at, term.size()});
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
