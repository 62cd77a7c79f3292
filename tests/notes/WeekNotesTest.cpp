#include "notes/NotesDatabase.h"
#include "notes/WeekNotes.h"
#include "tests/support/NotesFixture.h"

#include <gtest/gtest.h>

using namespace tavi;

namespace {

class WeekNotesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db.open(folder.databasePath())); }
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
    NotesDatabase db;
    WeekNotes notes{db};
    const QString june = QStringLiteral("20266");
};

} // namespace

TEST_F(WeekNotesTest, LoadingReadsEachDayAsStoredAndNeverWrites)
{
    inspector.insertWeek(QStringLiteral("tb_B"), june,
                         WeekMemos{"{\\rtf1 Monday\\par}", "\xD6\xDC\xD2\xBB plain", {}, {}, {}, "{\\rtf1 Sat\\par}"});
    const std::optional<WeekNote> loaded = notes.load(2, june);
    ASSERT_TRUE(loaded);
    const WeekTexts texts = plainTexts(*loaded);
    EXPECT_EQ(texts[0], QStringLiteral("Monday"));
    EXPECT_EQ(texts[1], QStringLiteral("周一 plain")); // not RTF: GBK text
    EXPECT_EQ(texts[2], QString());
    EXPECT_EQ(texts[5], QStringLiteral("Sat"));

    // A month without a row is six empty notes, and nothing is written for it.
    const std::optional<WeekNote> empty = notes.load(2, QStringLiteral("20267"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, WeekNote{});
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_B")).size(), 1u);
}

TEST_F(WeekNotesTest, OnlyTheLoadedWeekIsEverSaved)
{
    ASSERT_TRUE(notes.load(1, june));
    notes.save(1, QStringLiteral("20267"), week({"other month"}));
    notes.save(2, june, week({"other slot"}));
    EXPECT_TRUE(inspector.rows(QStringLiteral("tb_A")).empty());
    EXPECT_TRUE(inspector.rows(QStringLiteral("tb_B")).empty());

    notes.save(1, june, week({"Monday", "", "", "", "Friday"}));
    ASSERT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 1u);
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), june, 4)).plainText(), QStringLiteral("Friday"));
    EXPECT_TRUE(inspector.memo(QStringLiteral("tb_A"), june, 0).startsWith("{\\rtf1\\ansi\\ansicpg936"));

    // A slot outside one to five cannot be read, and then nothing is saved.
    EXPECT_FALSE(notes.load(7, june));
    notes.save(7, june, week({"lost"}));
    notes.save(1, june, week({"not shown"}));
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), june, 0)).plainText(), QStringLiteral("Monday"));
}

TEST_F(WeekNotesTest, AfterAFailedLoadNothingIsStoredUnderItsKeyUntilALoadSucceeds)
{
    inspector.insertWeek(QStringLiteral("tb_A"), june, WeekMemos{"{\\rtf1 June notes\\par}"});
    ASSERT_TRUE(notes.load(1, june));
    QStringList told;
    notes.loadFailed = [&](const QString &reason) { told.append(reason); };

    // July cannot be read (its table is away for a moment).
    inspector.exec(QStringLiteral("alter table tb_A rename to tb_A_away"));
    EXPECT_FALSE(notes.load(1, QStringLiteral("20267")));
    EXPECT_EQ(told.size(), 1);
    inspector.exec(QStringLiteral("alter table tb_A_away rename to tb_A"));

    notes.save(1, QStringLiteral("20267"), week({"June notes"})); // a slot button, the close button or clear all
    const auto rows = inspector.rows(QStringLiteral("tb_A"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], june);

    ASSERT_TRUE(notes.load(1, QStringLiteral("20267")));
    notes.save(1, QStringLiteral("20267"), week({"July"}));
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 2u);
}

TEST_F(WeekNotesTest, AFailedSaveLeavesTheStoredWeekAloneAndIsToldOnceUntilASaveSucceeds)
{
    inspector.insertWeek(QStringLiteral("tb_E"), june, WeekMemos{"stored"});
    ASSERT_TRUE(notes.load(5, june));
    QStringList told;
    notes.saveFailed = [&](const QString &reason) { told.append(reason); };
    inspector.exec(QStringLiteral("create trigger refuse before update on tb_E begin select raise(abort, 'locked'); end"));
    notes.save(5, june, week({"unsaved"}));
    notes.save(5, june, week({"unsaved still"}));
    EXPECT_TRUE(notes.unsaved());
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(inspector.memo(QStringLiteral("tb_E"), june, 0), QByteArray("stored"));

    inspector.exec(QStringLiteral("drop trigger refuse"));
    notes.save(5, june, week({"saved"}));
    EXPECT_FALSE(notes.unsaved());
    inspector.exec(QStringLiteral("create trigger refuse before update on tb_E begin select raise(abort, 'full'); end"));
    notes.save(5, june, week({"again"}));
    EXPECT_EQ(told.size(), 2);
}
