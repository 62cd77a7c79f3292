#include "notes/NotesDatabase.h"
#include "tests/support/NotesFixture.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tavi;

TEST(NotesStatements, AreWrittenExactlyWithTheirBlanks)
{
    EXPECT_EQ(loadSelectSql(2, QStringLiteral("20106")), QStringLiteral(" select * from tb_B where YearMonthStr = '20106'"));
    EXPECT_EQ(saveSelectSql(2, QStringLiteral("20106")),
              QStringLiteral(" select * from   tb_B  where YearMonthStr = '20106'"));
    EXPECT_EQ(insertSql(5, QStringLiteral("202612")),
              QStringLiteral("insert into  tb_E (YearMonthStr) Values('202612')"));
    // A key is always an SQL string: inner quotes are doubled, so no key can change the statement.
    EXPECT_EQ(loadSelectSql(1, QStringLiteral("20'1")), QStringLiteral(" select * from tb_A where YearMonthStr = '20''1'"));
    EXPECT_EQ(weekTableName(0), QString());
    EXPECT_EQ(weekTableName(6), QString());
}

TEST(NotesDatabase, OpeningNeverCreatesAFile)
{
    test::ProgramFolderFixture folder;
    NotesDatabase dm;
    const QString missing = folder.folder() + QStringLiteral("Data/Missing.db");
    EXPECT_FALSE(dm.open(missing));
    EXPECT_FALSE(QFile::exists(missing));

    const QString garbage = folder.folder() + QStringLiteral("Data/Garbage.db");
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_FALSE(dm.open(garbage));

    EXPECT_TRUE(dm.open(folder.databasePath()));
    Statement mode(dm.database(), QStringLiteral("PRAGMA journal_mode"));
    ASSERT_TRUE(mode.next());
    EXPECT_EQ(mode.bytes(0), QByteArray("wal"));
    Statement sync(dm.database(), QStringLiteral("PRAGMA synchronous"));
    ASSERT_TRUE(sync.next());
    EXPECT_EQ(sync.integer(0), 2); // FULL
}

TEST(NotesDatabase, WritingANewKeyInsertsSelectsAgainAndUpdatesAllSixColumns)
{
    test::ProgramFolderFixture folder;
    NotesDatabase dm;
    ASSERT_TRUE(dm.open(folder.databasePath()));
    test::StatementLog log(dm.database());
    const WeekMemos memos{"mo", "tu", "we", "th", "fr", "sa"};
    dm.writeWeek(3, QStringLiteral("20263"), memos);

    const QStringList statements = log.statements();
    ASSERT_GE(statements.size(), 4);
    EXPECT_EQ(statements.first(), saveSelectSql(3, QStringLiteral("20263")));
    EXPECT_EQ(statements.filter(QStringLiteral("insert")).value(0), insertSql(3, QStringLiteral("20263")));
    EXPECT_EQ(statements.filter(QStringLiteral("select * from   tb_C")).size(), 2);
    ASSERT_EQ(log.writes().size(), 2);
    EXPECT_TRUE(log.writes()[1].startsWith(QStringLiteral("update tb_C set MondayCon = ?1")));

    test::NotesInspector db(folder.databasePath());
    ASSERT_EQ(db.rows(QStringLiteral("tb_C")).size(), 1u);
    EXPECT_EQ(db.rows(QStringLiteral("tb_C"))[0],
              (QStringList{"20263", "mo", "tu", "we", "th", "fr", "sa"}));

    // The second write finds the row: one update, no insert.
    log.clear();
    dm.writeWeek(3, QStringLiteral("20263"), WeekMemos{"1", "2", "3", "4", "5", "6"});
    ASSERT_EQ(log.writes().size(), 1);
    EXPECT_EQ(db.rows(QStringLiteral("tb_C"))[0], (QStringList{"20263", "1", "2", "3", "4", "5", "6"}));
}

TEST(NotesDatabase, TheFirstOfSeveralRowsWithOneKeyIsReadAndWritten)
{
    test::ProgramFolderFixture folder;
    test::NotesInspector db(folder.databasePath());
    db.insertWeek(QStringLiteral("tb_A"), QStringLiteral("20261"), WeekMemos{"first"});
    db.insertWeek(QStringLiteral("tb_A"), QStringLiteral("20261"), WeekMemos{"second"});
    NotesDatabase dm;
    ASSERT_TRUE(dm.open(folder.databasePath()));
    EXPECT_EQ(dm.readWeek(1, QStringLiteral("20261")).value()[0], QByteArray("first"));
    dm.writeWeek(1, QStringLiteral("20261"), WeekMemos{"changed"});
    EXPECT_EQ(db.rows(QStringLiteral("tb_A"))[0][1], QStringLiteral("changed"));
    EXPECT_EQ(db.rows(QStringLiteral("tb_A"))[1][1], QStringLiteral("second"));
}

TEST(NotesDatabase, TablesWithoutAnIdentityColumnAreWrittenByRowid)
{
    test::ProgramFolderFixture folder;
    test::NotesInspector db(folder.databasePath());
    db.exec(QStringLiteral("drop table tb_D"));
    db.exec(QStringLiteral("create table tb_D (YearMonthStr TEXT, MondayCon BLOB, TuesdayCon BLOB, WednesdayCon BLOB, "
                           "ThursdayCon BLOB, FridayCon BLOB, SaturdayCon BLOB, Extra TEXT)"));
    db.insertWeek(QStringLiteral("tb_D"), QStringLiteral("20265"), WeekMemos{"other"});
    db.insertWeek(QStringLiteral("tb_D"), QStringLiteral("20264"), WeekMemos{"old"});
    NotesDatabase dm;
    ASSERT_TRUE(dm.open(folder.databasePath()));
    dm.writeWeek(4, QStringLiteral("20264"), WeekMemos{"new"});
    EXPECT_EQ(db.memo(QStringLiteral("tb_D"), QStringLiteral("20264"), 0), QByteArray("new"));
    EXPECT_EQ(db.memo(QStringLiteral("tb_D"), QStringLiteral("20265"), 0), QByteArray("other"));
}

TEST(NotesDatabase, MissingTablesAndSlotsFail)
{
    test::ProgramFolderFixture folder;
    NotesDatabase dm;
    ASSERT_TRUE(dm.open(folder.databasePath()));
    EXPECT_THROW(dm.readWeek(0, QStringLiteral("20261")), DatabaseError);
    EXPECT_THROW(dm.writeWeek(6, QStringLiteral("20261"), WeekMemos{}), DatabaseError);
    test::NotesInspector(folder.databasePath()).exec(QStringLiteral("drop table tb_B"));
    EXPECT_THROW(dm.readWeek(2, QStringLiteral("20261")), DatabaseError);
}
