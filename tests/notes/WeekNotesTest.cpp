#include "notes/WeekNotes.h"
#include "widgets/RichEdit.h"
#include "tests/support/NotesFixture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tavi;

namespace {

// Six boxes over a fresh notes database, as the week page holds them.
class WeekNotesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dm.DataModuleCreate(folder.databasePath()));
        for (int day = 0; day < kDayBoxCount; ++day) {
            owned[day] = std::make_unique<RichEdit>();
            boxes[day] = owned[day].get();
        }
        notes = std::make_unique<WeekNotes>(dm, state, boxes);
    }
    QString text(int day) const { return boxes[day]->toPlainText(); }

    test::ProgramFolderFixture folder;
    test::NotesInspector inspector{folder.databasePath()};
    TDM dm;
    ProgramState state;
    std::array<std::unique_ptr<RichEdit>, kDayBoxCount> owned;
    std::array<RichEdit *, kDayBoxCount> boxes{};
    std::unique_ptr<WeekNotes> notes;
    const QString june = QStringLiteral("20266");
};

} // namespace

TEST_F(WeekNotesTest, LoadingFillsTheBoxesAndNeverWrites)
{
    inspector.insertWeek(QStringLiteral("tb_B"), june,
                         WeekMemos{"{\\rtf1 Monday\\par}", "plain Tuesday", {}, {}, {}, "{\\rtf1 Sat\\par}"});
    boxes[2]->setContentText(QStringLiteral("left over"));
    test::StatementLog log(dm.database());
    notes->LoadWeek(2, june);
    EXPECT_TRUE(state.NotesReady);
    EXPECT_EQ(text(0), QStringLiteral("Monday"));
    EXPECT_EQ(text(1), QStringLiteral("plain Tuesday"));
    EXPECT_EQ(text(2), QString());
    EXPECT_EQ(text(5), QStringLiteral("Sat"));
    EXPECT_EQ(log.statements(), QStringList{loadSelectSql(2, june)});

    // A month without a row empties every box.
    notes->LoadWeek(2, QStringLiteral("20267"));
    for (int day = 0; day < kDayBoxCount; ++day)
        EXPECT_EQ(text(day), QString());
    EXPECT_TRUE(log.writes().isEmpty());
}

TEST_F(WeekNotesTest, PlainTextMemoIsSavedBackAsRtf)
{
    inspector.insertWeek(QStringLiteral("tb_A"), june, WeekMemos{"\xD6\xDC\xD2\xBB plain"});
    notes->LoadWeek(1, june);
    EXPECT_EQ(text(0), QStringLiteral("周一 plain"));
    notes->SaveWeek(1, june);
    const QByteArray stored = inspector.memo(QStringLiteral("tb_A"), june, 0);
    EXPECT_TRUE(stored.startsWith("{\\rtf1\\ansi\\ansicpg936"));
    RichEdit check;
    check.loadContent(stored);
    EXPECT_EQ(check.toPlainText(), QStringLiteral("周一 plain"));
}

TEST_F(WeekNotesTest, AutomaticSaveNeedsAShownWindowASlotAndReadyNotes)
{
    notes->LoadWeek(1, june);
    test::StatementLog log(dm.database());
    boxes[4]->setContentText(QStringLiteral("Friday"));
    notes->autoSave(false, 1, june);
    notes->autoSave(true, 0, june);
    state.NotesReady = false;
    notes->autoSave(true, 1, june);
    EXPECT_TRUE(log.statements().isEmpty());

    state.NotesReady = true;
    notes->autoSave(true, 1, june);
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 1u);
    EXPECT_EQ(inspector.memo(QStringLiteral("tb_A"), june, 4), boxes[4]->rtf());
    EXPECT_TRUE(state.NotesReady);
}

TEST_F(WeekNotesTest, ASlotOutsideOneToFiveFailsSilentlyAndStopsAutosave)
{
    notes->LoadWeek(1, june);
    boxes[0]->setContentText(QStringLiteral("kept"));
    notes->LoadWeek(7, june);
    EXPECT_FALSE(state.NotesReady);
    EXPECT_TRUE(text(0).isEmpty()); // no other week's notes under this one's name
    EXPECT_TRUE(boxes[0]->isReadOnly()); // and no typing that could never be stored
    test::StatementLog log(dm.database());
    notes->autoSave(true, 7, june);
    EXPECT_TRUE(log.statements().isEmpty());

    // What a slot button does: save the shown slot, then load the chosen one.
    notes->SaveWeek(7, june);
    EXPECT_TRUE(state.NotesReady);
    notes->LoadWeek(3, june);
    EXPECT_TRUE(state.NotesReady);
    boxes[1]->setContentText(QStringLiteral("on again"));
    notes->autoSave(true, 3, june);
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_C")).size(), 1u);
}

TEST_F(WeekNotesTest, AfterAFailedLoadExplicitSavesDoNotStoreTheOldWeekUnderTheNewKey)
{
    inspector.insertWeek(QStringLiteral("tb_A"), june, WeekMemos{"{\\rtf1 June notes\\par}"});
    notes->LoadWeek(1, june);
    ASSERT_EQ(text(0), QStringLiteral("June notes"));

    // July cannot be read (its table is away for a moment).
    inspector.exec(QStringLiteral("alter table tb_A rename to tb_A_away"));
    notes->LoadWeek(1, QStringLiteral("20267"));
    EXPECT_FALSE(state.NotesReady);
    inspector.exec(QStringLiteral("alter table tb_A_away rename to tb_A"));

    notes->SaveWeek(1, QStringLiteral("20267")); // a slot button, the close button or clear all
    EXPECT_TRUE(state.NotesReady);
    const auto rows = inspector.rows(QStringLiteral("tb_A"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], june);

    // A successful load makes saving possible again.
    notes->LoadWeek(1, QStringLiteral("20267"));
    notes->SaveWeek(1, QStringLiteral("20267"));
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 2u);
}

TEST_F(WeekNotesTest, AFailedSaveLeavesTheStoredWeekAlone)
{
    inspector.insertWeek(QStringLiteral("tb_E"), june, WeekMemos{"stored"});
    notes->LoadWeek(5, june);
    inspector.exec(QStringLiteral("create trigger refuse before update on tb_E begin select raise(abort, 'locked'); end"));
    boxes[0]->setContentText(QStringLiteral("unsaved"));
    notes->SaveWeek(5, june);
    EXPECT_TRUE(state.NotesReady);
    EXPECT_EQ(inspector.memo(QStringLiteral("tb_E"), june, 0), QByteArray("stored"));
    EXPECT_EQ(text(0), QStringLiteral("unsaved"));
}
