#include "notes/LegacyImport.h"
#include "notes/WeekHistory.h"
#include "notes/WeekNotes.h"
#include "tests/support/NotesFixture.h"

#include <gtest/gtest.h>

using namespace tavi;

namespace {

// Jet's compressed text of a Latin-1 string.
QByteArray jet(const char *latin1)
{
    return QByteArray("\xFF\xFE", 2) + latin1;
}

// UCS-2 little-endian, as Jet keeps text with characters above U+00FF.
QByteArray ucs2(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

AccessTable weekTable(const QString &name)
{
    AccessTable table{name, {{QStringLiteral("YearMonthStr"), kAccessTextType}}, {}};
    for (const char *column : kMemoColumns)
        table.columns.push_back({QLatin1String(column), kAccessMemoType});
    return table;
}

AccessDump fiveEmptyTables()
{
    AccessDump dump;
    for (const char *name : {"tb_A", "tb_B", "tb_C", "tb_D", "tb_E"})
        dump.tables.push_back(weekTable(QLatin1String(name)));
    return dump;
}

using Row = std::vector<std::optional<QByteArray>>;

Row row(const char *key, std::optional<QByteArray> monday, std::optional<QByteArray> saturday = std::nullopt)
{
    return {jet(key), monday, std::nullopt, std::nullopt, std::nullopt, std::nullopt, saturday};
}

std::string importError(const AccessDump &dump)
{
    try {
        legacyNotes(dump);
    } catch (const ImportError &error) {
        return error.what();
    }
    return "(no error)";
}

} // namespace

TEST(LegacyNotes, TextBecomesGbkAndGb18030WhereGbkEnds)
{
    AccessDump dump = fiveEmptyTables();
    dump.tables[0].rows.push_back(row("20266", ucs2(QStringLiteral("周一 😀")), jet("")));
    dump.tables[0].rows.push_back(row("20267", std::nullopt));
    const auto tables = legacyNotes(dump);
    ASSERT_EQ(tables.size(), 5u);
    EXPECT_EQ(tables[0].name, QStringLiteral("tb_A"));
    ASSERT_EQ(tables[0].rows.size(), 2u);
    EXPECT_EQ(tables[0].rows[0].key, QStringLiteral("20266"));
    EXPECT_EQ(tables[0].rows[0].memos[0], QByteArray("\xD6\xDC\xD2\xBB \x94\x39\xFC\x36"));
    EXPECT_EQ(tables[0].rows[0].memos[5], QByteArray("")); // empty stays empty
    EXPECT_FALSE(tables[0].rows[0].memos[1].has_value());  // NULL stays NULL
    EXPECT_FALSE(tables[0].rows[1].memos[0].has_value());
}

TEST(LegacyNotes, MissingTablesColumnsAndBadTextAreErrors)
{
    AccessDump noTableC = fiveEmptyTables();
    noTableC.tables.erase(noTableC.tables.begin() + 2);
    EXPECT_EQ(importError(noTableC), "the file has no table tb_C");

    AccessDump noFriday = fiveEmptyTables();
    noFriday.tables[3].columns[5].name = QStringLiteral("Friday");
    EXPECT_EQ(importError(noFriday), "table tb_D has no column FridayCon");

    AccessDump numberKey = fiveEmptyTables();
    numberKey.tables[1].columns[0].type = 4;
    EXPECT_EQ(importError(numberKey), "column YearMonthStr of table tb_B does not hold text");

    AccessDump oddText = fiveEmptyTables();
    oddText.tables[4].rows.push_back(row("20266", QByteArray("\x68\x54\x00", 3)));
    EXPECT_EQ(importError(oddText), "table tb_E, row 1: text of 3 bytes is not UCS-2");

    // Column names match as Access matches them, without regard to case; order does not matter.
    AccessDump reordered = fiveEmptyTables();
    std::swap(reordered.tables[0].columns[1], reordered.tables[0].columns[6]);
    reordered.tables[0].columns[0].name = QStringLiteral("YEARMONTHSTR");
    reordered.tables[0].rows.push_back({jet("20266"), jet("sat"), {}, {}, {}, {}, jet("mon")});
    EXPECT_EQ(legacyNotes(reordered)[0].rows[0].memos[0], QByteArray("mon"));
}

constexpr std::int64_t kNow = 1781000000;

class LegacyImport : public testing::Test {
protected:
    test::ProgramFolderFixture folder;
    Database db{folder.databasePath()};
    test::NotesInspector inspect{folder.databasePath()};

    std::vector<LegacyTable> notes(std::initializer_list<Row> rowsOfA)
    {
        AccessDump dump = fiveEmptyTables();
        dump.tables[0].rows = rowsOfA;
        return legacyNotes(dump);
    }
};

TEST_F(LegacyImport, ConflictsWriteNothingUnlessReplaced)
{
    inspect.insertWeek(QStringLiteral("tb_A"), QStringLiteral("20266"), {"mine", "", "", "", "", ""});
    inspect.insertWeek(QStringLiteral("tb_A"), QStringLiteral("20265"), {"keep", "", "", "", "", ""});
    const auto tables = notes({row("20266", jet("first")), row("20266", jet("second")), row("20267", jet("new"))});

    const ImportReport refused = importLegacyNotes(db, tables, false, kNow);
    EXPECT_FALSE(refused.written);
    EXPECT_EQ(refused.conflicts, QStringList{QStringLiteral("tb_A 20266")});
    EXPECT_EQ(inspect.rows(QStringLiteral("tb_A")).size(), 2u);
    EXPECT_EQ(inspect.memo(QStringLiteral("tb_A"), QStringLiteral("20266"), 0), QByteArray("mine"));

    const ImportReport replaced = importLegacyNotes(db, tables, true, kNow);
    EXPECT_TRUE(replaced.written);
    ASSERT_EQ(replaced.counts.size(), 5u);
    EXPECT_EQ(replaced.counts[0].rows, 3);
    EXPECT_EQ(replaced.counts[0].values, 6);
    const auto rows = inspect.rows(QStringLiteral("tb_A"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(inspect.memo(QStringLiteral("tb_A"), QStringLiteral("20265"), 0), QByteArray("keep"));
    // Duplicates keep their order, so the week shows the first one, as before.
    EXPECT_EQ(inspect.memo(QStringLiteral("tb_A"), QStringLiteral("20266"), 0), QByteArray("first"));
    NotesDatabase dm;
    ASSERT_TRUE(dm.open(folder.databasePath()));
    EXPECT_EQ(dm.readWeek(1, QStringLiteral("20266"))->at(0), QByteArray("first"));
    // The week replaced is kept as a version.
    const std::vector<WeekVersion> kept = weekVersions(db, 1, QStringLiteral("20266"));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].memos[0], QByteArray("mine"));
}

TEST_F(LegacyImport, AFailureHalfWayLeavesTheDatabaseAsItWas)
{
    inspect.exec(QStringLiteral("drop table tb_E"));
    AccessDump dump = fiveEmptyTables();
    dump.tables[0].rows.push_back(row("20266", jet("a")));
    dump.tables[4].rows.push_back(row("20266", jet("e")));
    EXPECT_THROW(importLegacyNotes(db, legacyNotes(dump), false, kNow), DatabaseError);
    EXPECT_TRUE(inspect.rows(QStringLiteral("tb_A")).empty());
    // The connection is usable afterwards: no transaction is left open.
    inspect.exec(QStringLiteral("create table tb_E (ID INTEGER PRIMARY KEY, YearMonthStr TEXT, MondayCon BLOB, "
                                "TuesdayCon BLOB, WednesdayCon BLOB, ThursdayCon BLOB, FridayCon BLOB, SaturdayCon BLOB)"));
    EXPECT_TRUE(importLegacyNotes(db, legacyNotes(dump), false, kNow).written);
    EXPECT_EQ(inspect.rows(QStringLiteral("tb_E")).size(), 1u);
}
