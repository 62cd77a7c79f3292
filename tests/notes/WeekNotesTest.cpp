#include "notes/NotesDatabase.h"
#include "notes/WeekHistory.h"
#include "notes/WeekNotes.h"
#include "storage/Database.h"
#include "tests/support/NotesFixture.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

class WeekNotesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.open(folder.databasePath()));
        writer = std::make_unique<NotesWriter>(folder.databasePath(), folder.folder() + QStringLiteral("Data/backups"),
                                               clock);
        notes = std::make_unique<WeekNotes>(db, *writer);
    }
    // Waits for the writer, then lets its reports through.
    bool stored()
    {
        const bool ok = notes->storeAll();
        QCoreApplication::processEvents();
        return ok;
    }
    static WeekNote week(std::initializer_list<const char *> texts)
    {
        WeekNote notes;
        int day = 0;
        for (const char *text : texts)
            notes[day++] = DayNote::fromPlainText(QString::fromUtf8(text));
        return notes;
    }

    test::ProgramFolderFixture folder;
    test::NotesInspector inspector{folder.databasePath()};
    test::FakeClock clock{QDateTime(QDate(2026, 6, 1), QTime(9, 0))};
    NotesDatabase db;
    std::unique_ptr<NotesWriter> writer;
    std::unique_ptr<WeekNotes> notes;
    const QString june = QStringLiteral("20266");
};

} // namespace

TEST_F(WeekNotesTest, LoadingReadsEachDayAsStoredAndNeverWrites)
{
    inspector.insertWeek(QStringLiteral("tb_B"), june,
                         WeekMemos{"{\\rtf1 Monday\\par}", "\xD6\xDC\xD2\xBB plain", {}, {}, {}, "{\\rtf1 Sat\\par}"});
    const std::optional<WeekNote> loaded = notes->load(2, june);
    ASSERT_TRUE(loaded);
    const WeekTexts texts = plainTexts(*loaded);
    EXPECT_EQ(texts[0], QStringLiteral("Monday"));
    EXPECT_EQ(texts[1], QStringLiteral("周一 plain")); // not RTF: GBK text
    EXPECT_EQ(texts[2], QString());
    EXPECT_EQ(texts[5], QStringLiteral("Sat"));

    // A month without a row is six empty notes, and nothing is written for it.
    const std::optional<WeekNote> empty = notes->load(2, QStringLiteral("20267"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, WeekNote{});
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_B")).size(), 1u);
}

TEST_F(WeekNotesTest, OnlyTheLoadedWeekIsEverSaved)
{
    ASSERT_TRUE(notes->load(1, june));
    notes->save(1, QStringLiteral("20267"), week({"other month"}));
    notes->save(2, june, week({"other slot"}));
    ASSERT_TRUE(stored());
    EXPECT_TRUE(inspector.rows(QStringLiteral("tb_A")).empty());
    EXPECT_TRUE(inspector.rows(QStringLiteral("tb_B")).empty());

    notes->save(1, june, week({"Monday", "", "", "", "Friday"}));
    ASSERT_TRUE(stored());
    ASSERT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 1u);
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), june, 4)).plainText(), QStringLiteral("Friday"));
    EXPECT_TRUE(inspector.memo(QStringLiteral("tb_A"), june, 0).startsWith("{\\rtf1\\ansi\\ansicpg936"));

    // A slot outside one to five cannot be read, and then nothing is saved.
    EXPECT_FALSE(notes->load(7, june));
    notes->save(7, june, week({"lost"}));
    notes->save(1, june, week({"not shown"}));
    ASSERT_TRUE(stored());
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), june, 0)).plainText(), QStringLiteral("Monday"));
}

TEST_F(WeekNotesTest, AfterAFailedLoadNothingIsStoredUnderItsKeyUntilALoadSucceeds)
{
    inspector.insertWeek(QStringLiteral("tb_A"), june, WeekMemos{"{\\rtf1 June notes\\par}"});
    ASSERT_TRUE(notes->load(1, june));
    QStringList told;
    notes->loadFailed = [&](const QString &reason) { told.append(reason); };

    // July cannot be read (its table is away for a moment).
    inspector.exec(QStringLiteral("alter table tb_A rename to tb_A_away"));
    EXPECT_FALSE(notes->load(1, QStringLiteral("20267")));
    EXPECT_EQ(told.size(), 1);
    inspector.exec(QStringLiteral("alter table tb_A_away rename to tb_A"));

    notes->save(1, QStringLiteral("20267"), week({"June notes"})); // a slot button, the close button or clear all
    ASSERT_TRUE(stored());
    const auto rows = inspector.rows(QStringLiteral("tb_A"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], june);

    ASSERT_TRUE(notes->load(1, QStringLiteral("20267")));
    notes->save(1, QStringLiteral("20267"), week({"July"}));
    ASSERT_TRUE(stored());
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 2u);
}

TEST_F(WeekNotesTest, AFailedSaveLeavesTheStoredWeekAloneAndIsToldOnceUntilASaveSucceeds)
{
    inspector.insertWeek(QStringLiteral("tb_E"), june, WeekMemos{"stored"});
    ASSERT_TRUE(notes->load(5, june));
    QStringList told;
    notes->saveFailed = [&](const QString &reason) { told.append(reason); };
    inspector.exec(QStringLiteral("create trigger refuse before update on tb_E begin select raise(abort, 'locked'); end"));
    notes->save(5, june, week({"unsaved"}));
    EXPECT_FALSE(stored());
    notes->save(5, june, week({"unsaved still"}));
    EXPECT_FALSE(stored());
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(inspector.memo(QStringLiteral("tb_E"), june, 0), QByteArray("stored"));

    inspector.exec(QStringLiteral("drop trigger refuse"));
    notes->save(5, june, week({"saved"}));
    EXPECT_TRUE(stored());
    inspector.exec(QStringLiteral("create trigger refuse before update on tb_E begin select raise(abort, 'full'); end"));
    notes->save(5, june, week({"again"}));
    EXPECT_FALSE(stored());
    EXPECT_EQ(told.size(), 2);
}

// A save keeps the state it replaces when that state has stood ten minutes;
// a clear or a restore always keeps it. The newest version comes first.
TEST_F(WeekNotesTest, VersionsKeepStatesThatStoodOrWereClearedAway)
{
    ASSERT_TRUE(notes->load(3, june));
    const auto texts = [&] {
        QStringList list;
        for (const WeekVersion &version : weekVersions(db.database(), 3, june))
            list.append(DayNote(version.memos[0]).plainText());
        return list;
    };
    const auto at = [&](int minutes) {
        ASSERT_TRUE(stored());
        clock.at_ = QDateTime(QDate(2026, 6, 1), QTime(9, 0)).addSecs(60 * minutes);
    };
    notes->save(3, june, week({"a"}));
    at(5);
    notes->save(3, june, week({"ab"})); // "a" stood five minutes: not kept
    at(16);
    notes->save(3, june, week({"abc"})); // "ab" stood eleven minutes: kept
    at(17);
    notes->save(3, june, week({""}), SaveReason::Clear); // kept however young
    ASSERT_TRUE(stored());
    EXPECT_EQ(texts(), (QStringList{"abc", "ab"}));

    // Restoring puts a version back and keeps what it replaces.
    const std::vector<WeekVersion> versions = weekVersions(db.database(), 3, june);
    notes->save(3, june, week({"ab"}), SaveReason::Restore);
    ASSERT_TRUE(stored());
    EXPECT_EQ(texts(), (QStringList{"", "abc", "ab"}));
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_C"), june, 0)).plainText(), QStringLiteral("ab"));
}

TEST(WeekHistory, EveryVersionForAWeekThenOneADayForNinetyDays)
{
    test::ProgramFolderFixture folder;
    NotesDatabase notes;
    ASSERT_TRUE(notes.open(folder.databasePath()));
    Database &db = notes.database();
    const std::int64_t now = QDateTime(QDate(2026, 6, 30), QTime(12, 0)).toSecsSinceEpoch();
    const std::int64_t day = 86400;
    const std::int64_t hour = 3600;
    for (const std::int64_t at : {now - hour, now - 2 * hour,      // today: both stay
                                  now - 10 * day, now - 10 * day - hour, // ten days ago: the newer stays
                                  now - 89 * day, now - 91 * day}) {  // the one past ninety days goes
        WeekMemos memos;
        memos[0] = QByteArray::number(at);
        keepVersion(db, 1, QStringLiteral("20266"), memos, at, now);
    }
    pruneVersions(db, now);
    QList<std::int64_t> left;
    for (const WeekVersion &version : weekVersions(db, 1, QStringLiteral("20266")))
        left.append(version.storedAt);
    EXPECT_EQ(left, (QList<std::int64_t>{now - hour, now - 2 * hour, now - 10 * day, now - 89 * day}));
}
