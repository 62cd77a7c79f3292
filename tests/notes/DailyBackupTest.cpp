#include "notes/DailyBackup.h"
#include "notes/NotesDatabase.h"
#include "storage/Database.h"
#include "tests/support/NotesFixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tavi;

TEST(DailyBackup, OneCheckedCopyADayKeepingSevenDaysAndFourWeeks)
{
    test::ProgramFolderFixture folder;
    test::NotesInspector(folder.databasePath()).insertWeek(QStringLiteral("tb_A"), QStringLiteral("20266"), {"kept"});
    Database db(folder.databasePath());
    const QString backups = folder.folder() + QStringLiteral("Data/backups");
    const QDate first(2026, 6, 1);
    for (int day = 0; day < 40; ++day) {
        ASSERT_EQ(backUpDaily(db, backups, first.addDays(day)), std::nullopt) << day;
        ASSERT_EQ(backUpDaily(db, backups, first.addDays(day)), std::nullopt) << "again the same day";
    }
    // 4 July to 10 July, then the newest of each of the four weeks before theirs (Sundays).
    EXPECT_EQ(QDir(backups).entryList(QDir::Files, QDir::Name),
              (QStringList{"UserData-2026-06-07.db", "UserData-2026-06-14.db", "UserData-2026-06-21.db",
                           "UserData-2026-06-28.db", "UserData-2026-07-04.db", "UserData-2026-07-05.db",
                           "UserData-2026-07-06.db", "UserData-2026-07-07.db", "UserData-2026-07-08.db",
                           "UserData-2026-07-09.db", "UserData-2026-07-10.db"}));
    // A copy is a whole database holding the notes.
    NotesDatabase copy;
    ASSERT_TRUE(copy.open(dailyBackupPath(backups, QDate(2026, 7, 10))));
    EXPECT_EQ(copy.readWeek(1, QStringLiteral("20266"))->at(0), QByteArray("kept"));
}

TEST(DailyBackup, ACopyThatFailsItsCheckIsDeletedAndTold)
{
    test::ProgramFolderFixture folder;
    {
        Database db(folder.databasePath());
        db.exec("PRAGMA journal_mode=DELETE; CREATE TABLE filler (x TEXT); CREATE INDEX filler_x ON filler (x);"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                " INSERT INTO filler SELECT printf('%08d', i) FROM n;");
    }
    // The index's last page, scribbled over: the database still opens, but its check fails.
    QFile file(folder.databasePath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(file.size() - 4096 + 100));
    file.write(QByteArray(200, '\x7f'));
    file.close();
    Database db(folder.databasePath());
    const QString backups = folder.folder() + QStringLiteral("Data/backups");
    const std::optional<QString> told = backUpDaily(db, backups, QDate(2026, 6, 1));
    ASSERT_TRUE(told);
    EXPECT_TRUE(told->contains(QStringLiteral("没有通过检查"))) << told->toStdString();
    EXPECT_TRUE(QDir(backups).entryList(QDir::Files).isEmpty());
}
