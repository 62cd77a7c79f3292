#include "notes/NotesDatabase.h"
#include "notes/NotesSearch.h"
#include "notes/NotesWriter.h"
#include "storage/Database.h"
#include "tests/support/NotesFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace tavi;

namespace {

class NotesSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.open(folder.databasePath()));
        writer = std::make_unique<NotesWriter>(folder.databasePath(), QString(), clock);
    }
    void store(int slot, const char *yearMonth, std::initializer_list<const char *> days)
    {
        WeekMemos memos;
        int day = 0;
        for (const char *text : days)
            memos[day++] = DayNote::fromPlainText(QString::fromUtf8(text)).stored();
        writer->save(slot, QString::fromLatin1(yearMonth), memos);
        ASSERT_TRUE(writer->flush());
    }
    // "2025-12 B1: words" for each hit.
    QStringList found(const QString &term)
    {
        QStringList lines;
        for (const SearchHit &hit : searchNotes(db.database(), term))
            lines.append(QStringLiteral("%1-%2 %3%4: %5")
                             .arg(hit.year)
                             .arg(hit.month)
                             .arg(QChar(u'A' + hit.slot - 1))
                             .arg(hit.day + 1)
                             .arg(hit.text.mid(hit.at, hit.length)));
        return lines;
    }

    test::ProgramFolderFixture folder;
    test::FakeClock clock{QDateTime(QDate(2026, 6, 1), QTime(9, 0))};
    NotesDatabase db;
    std::unique_ptr<NotesWriter> writer;
};

} // namespace

TEST_F(NotesSearchTest, SubstringsInAnyYearNewestFirstWithoutRegardToCase)
{
    store(2, "20259", {"", "上午体检，空腹"});
    store(1, "202512", {"签合同", "", "", "", "", "Dentist at 3"});
    store(5, "20261", {"", "", "复查体检报告 and the DENTIST"});
    const struct {
        const char *term;
        QStringList expected;
    } cases[] = {
        {"体检", {"2026-1 E3: 体检", "2025-9 B2: 体检"}},           // two characters: no trigram
        {"合同", {"2025-12 A1: 合同"}},                             // two at a day's very end
        {"dE", {"2026-1 E3: DE", "2025-12 A6: De"}},
        {"体检报告", {"2026-1 E3: 体检报告"}},                     // the index's own way
        {"dentist", {"2026-1 E3: DENTIST", "2025-12 A6: Dentist"}}, // any case
        {"合", {"2025-12 A1: 合"}},
        {"至", {}},
        {"t a", {"2025-12 A6: t a"}},
    };
    // Saves mark the days they changed; the writer indexes them later. Both
    // ways of holding a day answer alike.
    for (const bool indexed : {false, true}) {
        if (indexed) {
            Database &database = db.database();
            database.exec("BEGIN IMMEDIATE");
            indexChangedDays(database);
            database.exec("COMMIT");
            ASSERT_FALSE(hasChangedDays(database));
        }
        for (const auto &c : cases)
            EXPECT_EQ(found(QString::fromUtf8(c.term)), c.expected) << c.term << (indexed ? " indexed" : " marked");
    }

    // A save outdates what the index holds for the day, at once.
    store(1, "202512", {"改签协议"});
    EXPECT_EQ(found(QStringLiteral("合同")), QStringList{});
    EXPECT_EQ(found(QStringLiteral("签协")), QStringList{"2025-12 A1: 签协"});

    // Once saves pause, the writer indexes what they changed.
    writer->setIndexDelay(std::chrono::milliseconds(1));
    store(1, "202512", {"续签合同"});
    for (int i = 0; i < 500 && hasChangedDays(db.database()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(hasChangedDays(db.database()));
    EXPECT_EQ(found(QStringLiteral("签合")), QStringList{"2025-12 A1: 签合"});
}

TEST_F(NotesSearchTest, AMissingOrDamagedIndexIsMadeAnewAndNeverCostsASave)
{
    test::NotesInspector inspector(folder.databasePath());
    inspector.insertWeek(QStringLiteral("tb_C"), QStringLiteral("20243"),
                         WeekMemos{"{\\rtf1\\ansi\\ansicpg936 imported \\'cc\\'e5\\'bc\\'ec\\par}"}); // "体检" in GBK
    store(1, "20266", {"first"});
    writer.reset();
    // An older database: no index at all. The writer makes it when it opens.
    inspector.exec(QStringLiteral("drop table tavi_search"));
    writer = std::make_unique<NotesWriter>(folder.databasePath(), QString(), clock);
    store(1, "20266", {"second"});
    EXPECT_EQ(found(QStringLiteral("体检")), QStringList{"2024-3 C1: 体检"});

    // Damaged: a save still stores the week; the search that finds the index
    // damaged has the writer make it anew, as the search window does.
    inspector.exec(QStringLiteral("drop table tavi_search_data"));
    store(1, "20266", {"third"});
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20266"), 0)).plainText(), QStringLiteral("third"));
    EXPECT_THROW(searchNotes(db.database(), QStringLiteral("third")), DatabaseError);
    writer->repairSearchIndex();
    ASSERT_TRUE(writer->flush());
    EXPECT_EQ(found(QStringLiteral("third")), QStringList{"2026-6 A1: third"});
    EXPECT_EQ(found(QStringLiteral("体检")), QStringList{"2024-3 C1: 体检"});
    EXPECT_EQ(inspector.database().integrityCheck(), QStringLiteral("ok"));
}
