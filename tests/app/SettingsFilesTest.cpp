// The settings files as the main window reads and writes them at start-up and on the close path.
#include "app/Program.h"
#include "formats/LineFile.h"
#include "widgets/RichEdit.h"
#include "tests/support/NotesFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tavi;

namespace {

class SettingsFilesTest : public ::testing::Test {
protected:
    void start(QSize screenSize = QSize(1280, 800))
    {
        screen = std::make_unique<test::FakeScreen>(screenSize);
        program = std::make_unique<Program>(folder.folder(), clock, *screen, dialogs, [this] { ++endRequests; });
        ASSERT_TRUE(program->start());
        window = program->mainWindow();
    }
    QString path(const char *name) const { return folder.folder() + QStringLiteral("Data/") + QLatin1String(name); }
    QByteArray bytes(const char *name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void write(const char *name, const QStringList &lines) { writeLineFile(path(name), lines); }

    test::ProgramFolderFixture folder;
    test::FakeClock clock{QDateTime(QDate(2010, 6, 6), QTime(8, 0))};
    test::FakeDialogs dialogs;
    std::unique_ptr<test::FakeScreen> screen;
    std::unique_ptr<Program> program;
    MainWindow *window = nullptr;
    int endRequests = 0;
};

} // namespace

TEST_F(SettingsFilesTest, FirstStartCreatesEveryFileWithItsDefaults)
{
    start();
    EXPECT_EQ(bytes("FormSize.ini"), QByteArray("1\r\n906\r\n540\r\n187\r\n115\r\n6\r\n"));
    EXPECT_EQ(bytes("content.ini"), QByteArray("\r\n"));
    EXPECT_EQ(bytes("configSetBg.ini"), QByteArray("1\r\n"));
    EXPECT_EQ(bytes("loginstr.db"), QByteArray("NOKEY7302468\r\nNOKEY7302468\r\n0\r\n")); // no password
    EXPECT_EQ(window->geometry(), QRect(187, 115, 906, 540));
    EXPECT_EQ(window->currentSlot(), 1);
    EXPECT_TRUE(program->mainWindow()->asksBeforeApply());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SettingsFilesTest, ANarrowScreenGivesANegativeLeftEdgeThatIsKept)
{
    start(QSize(800, 600));
    EXPECT_EQ(window->geometry().left(), -53);
    EXPECT_EQ(bytes("FormSize.ini"), QByteArray("1\r\n906\r\n540\r\n-53\r\n15\r\n6\r\n"));
    window->closeAndSave(); // the close path writes the bounds back
    program.reset();
    start(QSize(1920, 1080));
    EXPECT_EQ(window->geometry().left(), -53);
}

TEST_F(SettingsFilesTest, FiveLinesGiveSlotAndBoundsAndKeepTodaysMonth)
{
    write("FormSize.ini", {"4", "1000", "600", "30", "40"});
    start();
    EXPECT_EQ(window->currentSlot(), 4);
    EXPECT_EQ(window->geometry(), QRect(30, 40, 1000, 600));
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("20106"));
    EXPECT_EQ(bytes("FormSize.ini"), QByteArray("4\r\n1000\r\n600\r\n30\r\n40\r\n")); // read, not rewritten
}

TEST_F(SettingsFilesTest, TheMonthInTheFileIsLoaded)
{
    test::NotesInspector(folder.databasePath())
        .insertWeek(QStringLiteral("tb_B"), QStringLiteral("20103"), WeekMemos{"{\\rtf1 March\\par}"});
    write("FormSize.ini", {"2", "906", "540", "0", "0", "3"});
    start();
    EXPECT_EQ(window->monthLabel()->text(), QStringLiteral("3"));
    EXPECT_EQ(window->dayBoxes()[0]->toPlainText(), QStringLiteral("March"));
}

TEST_F(SettingsFilesTest, AMonthThatIsNoNumberBecomesTheKeyButNotTheLabel)
{
    write("FormSize.ini", {"1", "906", "540", "0", "0", "x"});
    start();
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("2010x"));
    EXPECT_EQ(window->monthLabel()->text(), QStringLiteral("6"));
}

TEST_F(SettingsFilesTest, WallpaperQuestionFromTheFile)
{
    const std::pair<const char *, bool> cases[] = {{"0", false}, {"-1", false}, {"2", true}, {"abc", true}};
    for (const auto &[line, asks] : cases) {
        write("configSetBg.ini", {QString::fromLatin1(line)});
        start();
        EXPECT_EQ(program->mainWindow()->asksBeforeApply(), asks) << line;
        EXPECT_EQ(bytes("configSetBg.ini"), QByteArray(line) + "\r\n"); // never rewritten at start
        program.reset();
    }
}

TEST_F(SettingsFilesTest, MemoFileFillsTheHiddenMemoBox)
{
    write("content.ini", {"a", "b"});
    start();
    EXPECT_EQ(window->memoBox()->plainTextCrLf(), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(bytes("content.ini"), QByteArray("a\r\nb\r\n"));
}

TEST_F(SettingsFilesTest, ClosePathWritesTheWindowSettingsAndExitDoesNot)
{
    start();
    window->show();
    window->weekButton(3)->click();
    window->monthMenu()->actions()[10]->trigger(); // "11月"
    window->setGeometry(50, 60, 1000, 700);
    window->optionsMenu()->actions().constLast()->trigger(); // "退出程序"
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(bytes("FormSize.ini"), QByteArray("1\r\n906\r\n540\r\n187\r\n115\r\n6\r\n"));

    program.reset();
    start();
    window->show();
    window->weekButton(3)->click();
    window->monthMenu()->actions()[10]->trigger();
    window->setGeometry(50, 60, 1000, 700);
    window->closeAndSave();
    EXPECT_EQ(endRequests, 2);
    EXPECT_EQ(bytes("FormSize.ini"), QByteArray("3\r\n1000\r\n700\r\n50\r\n60\r\n11\r\n"));
}

TEST_F(SettingsFilesTest, AWindowSettingsFileThatCannotBeWrittenIsReportedAndTheProgramGoesOn)
{
    start();
    window->show();
    QFile::remove(path("FormSize.ini"));
    ASSERT_TRUE(QDir().mkdir(path("FormSize.ini"))); // a folder in its place cannot be replaced
    window->closeAndSave();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("error"));
    EXPECT_TRUE(dialogs.shown[0].text.contains(path("FormSize.ini")));
    EXPECT_EQ(endRequests, 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(SettingsFilesTest, SettingsThatCannotBeReadOrWrittenAreReportedOnceAndTheWeekStillLoads)
{
    // Unreadable settings: folders stand where the files should be.
    for (const char *name : {"FormSize.ini", "content.ini", "configSetBg.ini"})
        ASSERT_TRUE(QDir().mkdir(path(name)));
    test::NotesInspector(folder.databasePath())
        .insertWeek(QStringLiteral("tb_A"), QStringLiteral("20106"), WeekMemos{"{\\rtf1 loaded\\par}"});
    start();
    EXPECT_EQ(window->dayBoxes()[0]->toPlainText(), QStringLiteral("loaded"));
    EXPECT_FALSE(window->dayBoxes()[0]->isReadOnly());
    EXPECT_TRUE(program->mainWindow()->asksBeforeApply());
    EXPECT_EQ(window->geometry(), QRect(187, 115, 906, 540));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("error"));
    EXPECT_EQ(dialogs.shown[0].text.count(u'\n'), 2); // three failures in one report
}

TEST_F(SettingsFilesTest, SettingsThatCannotBeWrittenAreReportedOnceAndTheWeekStillLoads)
{
    // The notes database stays usable (its journal files exist: another connection
    // holds them open) while no new file can be made in the data folder.
    test::NotesInspector holder(folder.databasePath());
    holder.insertWeek(QStringLiteral("tb_A"), QStringLiteral("20106"), WeekMemos{"{\\rtf1 loaded\\par}"});
    const QString data = folder.folder() + QStringLiteral("Data");
    // Root writes wherever a permission says no; an immutable folder stops it too.
    const bool root = geteuid() == 0;
    const QString lock = root ? QStringLiteral("chattr") : QStringLiteral("chmod");
    const QStringList on = root ? QStringList{QStringLiteral("+i"), data} : QStringList{QStringLiteral("555"), data};
    const QStringList off = root ? QStringList{QStringLiteral("-i"), data} : QStringList{QStringLiteral("755"), data};
    if (QProcess::execute(lock, on) != 0)
        GTEST_SKIP() << "cannot make " << data.toStdString() << " unwritable here";
    start();
    QProcess::execute(lock, off);
    EXPECT_EQ(window->dayBoxes()[0]->toPlainText(), QStringLiteral("loaded"));
    EXPECT_FALSE(window->dayBoxes()[0]->isReadOnly());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("error"));
    for (const char *name : {"FormSize.ini", "content.ini", "configSetBg.ini"})
        EXPECT_TRUE(dialogs.shown[0].text.contains(QLatin1String(name))) << name;
}
