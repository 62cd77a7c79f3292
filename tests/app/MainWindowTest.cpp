#include "app/Program.h"
#include "dialogs/HistoryDialog.h"
#include "dialogs/SearchDialog.h"
#include "notes/WeekHistory.h"
#include "platform/EndSignals.h"
#include "formats/LineFile.h"
#include "widgets/RichEdit.h"
#include "tests/TestData.h"
#include "tests/app/ShownProgram.h"
#include "tests/support/NotesFixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

using namespace tavi;

namespace {

const QDateTime kSunday6June2010(QDate(2010, 6, 6), QTime(9, 30));

// The whole program started on a temporary program folder with a fixed clock.
class MainWindowTest : public ::testing::Test {
protected:
    void start(const QDateTime &now = kSunday6June2010)
    {
        clock = std::make_unique<test::FakeClock>(now);
        program = std::make_unique<Program>(folder.folder(), *clock, screen, dialogs, [this] { ++endRequests; });
        ASSERT_TRUE(program->start());
        window = program->mainWindow();
    }
    void show()
    {
        window->show();
        ASSERT_TRUE(window->hasBeenShown());
    }
    RichEdit *box(int day) const { return window->dayBoxes()[day - 1]; }
    QAction *item(QMenu *menu, const char *name) const { return test::menuItem(menu, name); }
    // Waits until the writer has stored every save, then lets its reports through.
    void stored()
    {
        program->notesWriter().flush();
        QCoreApplication::processEvents();
    }
    QColor buttonColour(int slot) const
    {
        return window->weekButton(slot)->palette().color(QPalette::ButtonText);
    }

    test::ProgramFolderFixture folder;
    test::NotesInspector inspector{folder.databasePath()};
    test::FakeDialogs dialogs;
    test::FakeScreen screen{QSize(1280, 800)};
    std::unique_ptr<test::FakeClock> clock;
    std::unique_ptr<Program> program;
    MainWindow *window = nullptr;
    int endRequests = 0;
};

} // namespace

TEST(DateLabel, NoLeadingZerosAndTheWeekdayInBrackets)
{
    EXPECT_EQ(dateLabelText(QDate(2010, 6, 6)), QStringLiteral("今天是 2010年6月6日(日)"));
    EXPECT_EQ(dateLabelText(QDate(2010, 6, 1)), QStringLiteral("今天是 2010年6月1日(二)"));
    EXPECT_EQ(dateLabelText(QDate(2026, 12, 10)), QStringLiteral("今天是 2026年12月10日(四)"));
}

TEST_F(MainWindowTest, StartUpShowsTodaysMonthAndSlotAWithoutWriting)
{
    inspector.insertWeek(QStringLiteral("tb_A"), QStringLiteral("20106"), WeekMemos{"{\\rtf1 plan\\par}"});
    start();
    EXPECT_EQ(window->dateLabel()->text(), QStringLiteral("今天是 2010年6月6日(日)"));
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("20106"));
    EXPECT_EQ(window->monthLabel()->text(), QStringLiteral("6"));
    EXPECT_EQ(window->currentSlot(), 1);
    EXPECT_EQ(box(1)->toPlainText(), QStringLiteral("plan"));
    EXPECT_EQ(buttonColour(1), QColor(255, 0, 0));
    for (int slot = 2; slot <= 5; ++slot)
        EXPECT_EQ(buttonColour(slot), QColor(0, 0, 0));
    EXPECT_FALSE(box(1)->isReadOnly()); // the week loaded: it takes typing
    EXPECT_FALSE(window->hasBeenShown());

    show();
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 1u);
    EXPECT_EQ(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 0), QByteArray("{\\rtf1 plan\\par}"));
}

TEST_F(MainWindowTest, OneTypedCharacterRewritesAllSixColumns)
{
    start();
    show();
    QTest::keyClicks(box(5), QStringLiteral("x"));
    stored();
    // The first edit of a new month makes its row.
    ASSERT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 1u);
    for (int day = 1; day <= 6; ++day)
        EXPECT_EQ(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), day - 1), box(day)->rtf()) << day;

    QTest::keyClicks(box(5), QStringLiteral("y"));
    stored();
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 1u);
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 4)).plainText(), QStringLiteral("xy"));
}

TEST_F(MainWindowTest, LeavingABoxForAnotherSavesEvenWithoutAChange)
{
    start();
    show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    box(1)->setFocus();
    ASSERT_TRUE(inspector.rows(QStringLiteral("tb_A")).empty());
    box(2)->setFocus(Qt::TabFocusReason);
    stored();
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_A")).size(), 1u);
}

TEST_F(MainWindowTest, MonthLabelOpensTheMonthMenuBelowItAndOnRightClicksAfterwards)
{
    // At the screen's corner, so that the menu fits where it is asked to open.
    writeLineFile(folder.folder() + QStringLiteral("Data/FormSize.ini"),
                  {QStringLiteral("1"), QStringLiteral("898"), QStringLiteral("501"), QStringLiteral("0"), QStringLiteral("0")});
    start();
    show();
    EXPECT_NE(window->monthLabel()->contextMenuPolicy(), Qt::CustomContextMenu);
    QTest::mouseClick(window->monthLabel(), Qt::LeftButton);
    EXPECT_TRUE(window->monthMenu()->isVisible());
    EXPECT_EQ(window->monthMenu()->pos(), window->monthLabel()->mapToGlobal(QPoint(0, window->monthLabel()->height())));
    window->monthMenu()->close();
    EXPECT_EQ(window->monthLabel()->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(MainWindowTest, SlotSwitchStoresTheShownSlotAndLoadsTheChosenOne)
{
    inspector.insertWeek(QStringLiteral("tb_C"), QStringLiteral("20106"), WeekMemos{"{\\rtf1 week C\\par}"});
    start();
    show();
    box(2)->setContentText(QStringLiteral("week A")); // also saved on its own
    stored();
    inspector.exec(QStringLiteral("update tb_A set TuesdayCon = 'stale'"));
    window->weekButton(3)->click();
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 1)).plainText(), QStringLiteral("week A"));
    EXPECT_EQ(box(1)->toPlainText(), QStringLiteral("week C"));
    EXPECT_EQ(box(2)->toPlainText(), QString());
    EXPECT_EQ(window->currentSlot(), 3);
    EXPECT_EQ(buttonColour(3), QColor(255, 0, 0));
    EXPECT_EQ(buttonColour(1), QColor(0, 0, 0));
    // Loading C saved nothing under C.
    EXPECT_EQ(inspector.memo(QStringLiteral("tb_C"), QStringLiteral("20106"), 0), QByteArray("{\\rtf1 week C\\par}"));
}

TEST_F(MainWindowTest, MonthSwitchLoadsWithoutSaving)
{
    inspector.insertWeek(QStringLiteral("tb_B"), QStringLiteral("20103"), WeekMemos{"{\\rtf1 March\\par}"});
    start();
    show();
    window->weekButton(2)->click();
    QMenu *menu = window->monthMenu();
    ASSERT_EQ(menu->actions().size(), 16); // the months, then the years and today
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("1月"));
    EXPECT_EQ(menu->actions()[11]->text(), QStringLiteral("12月"));
    menu->actions()[2]->trigger();
    EXPECT_EQ(inspector.rows(QStringLiteral("tb_B")).size(), 1u); // June's empty week B was not stored
    EXPECT_EQ(window->monthLabel()->text(), QStringLiteral("3"));
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("20103"));
    EXPECT_EQ(box(1)->toPlainText(), QStringLiteral("March"));
    EXPECT_EQ(window->currentSlot(), 2);
}

TEST_F(MainWindowTest, HiddenMonthFieldOnlyActsOnceTheWindowIsShown)
{
    start();
    window->hiddenMonthField()->setText(QStringLiteral("4"));
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("20106"));
    show();
    window->hiddenMonthField()->setText(QStringLiteral("5"));
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("20105"));
    EXPECT_EQ(window->monthLabel()->text(), QStringLiteral("5"));
}

TEST_F(MainWindowTest, ClosePathSavesTheWeekAndEndsTheProgram)
{
    start();
    show();
    {
        const QSignalBlocker unseen(box(1)); // an edit the automatic save has not stored
        box(1)->setContentText(QStringLiteral("last words"));
    }
    EXPECT_TRUE(inspector.rows(QStringLiteral("tb_A")).empty());
    // Through the close picture, as the user does it: over it, press, release,
    // sent to the window so that Qt routes them as it routes a real mouse's.
    QWidget *close = window->captionPicture("img_close_normal");
    const QPoint at = close->mapTo(window, close->rect().center());
    // Pressed, then dragged off before the release: cancelled, as with any button.
    QTest::mouseMove(window->windowHandle(), at);
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, at + QPoint(-60, 40));
    EXPECT_EQ(endRequests, 0);
    QTest::mouseMove(window->windowHandle(), at);
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(window->captionPictures().close.down);
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 0)).plainText(), QStringLiteral("last words"));
}

TEST_F(MainWindowTest, AnyOtherCloseEndsAtOnceWithoutSaving)
{
    start();
    show();
    box(1)->blockSignals(true); // an edit the automatic save has not seen
    box(1)->setContentText(QStringLiteral("unsaved"));
    window->close();
    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(inspector.rows(QStringLiteral("tb_A")).empty());
}

TEST_F(MainWindowTest, FailingSavesAreToldOnceKeepTheTextAndMakeLeavingTheWeekAsk)
{
    start();
    show();
    const QString database = folder.databasePath(), away = database + QStringLiteral(".away");
    const auto errors = [this] {
        QStringList texts;
        for (const auto &shown : dialogs.shown)
            if (shown.kind == QLatin1String("error"))
                texts.append(shown.text);
        return texts;
    };
    QTest::keyClicks(box(1), QStringLiteral("a"));
    ASSERT_TRUE(QFile::rename(database, away)); // the database goes away underneath
    QTest::keyClicks(box(1), QStringLiteral("bc"));
    stored();
    ASSERT_EQ(errors().size(), 1);
    EXPECT_EQ(errors()[0], QStringLiteral("本周内容未能保存：数据库文件已被移走或替换"));
    EXPECT_EQ(box(1)->toPlainText(), QStringLiteral("abc"));

    // Leaving the week asks; no, the default, stays.
    window->closeAndSave();
    window->close();
    window->switchSlot(2);
    EXPECT_EQ(dialogs.shown.back().kind, QStringLiteral("question"));
    EXPECT_EQ(std::count_if(dialogs.shown.begin(), dialogs.shown.end(), [](const auto &s) { return s.kind == "question"; }), 3);
    EXPECT_EQ(endRequests, 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentSlot(), 1);
    EXPECT_EQ(errors().size(), 1);

    // Back in place: the next save stores everything, and the week may be left without a question.
    ASSERT_TRUE(QFile::rename(away, database));
    QTest::keyClicks(box(1), QStringLiteral("d"));
    stored();
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 0)).plainText(), QStringLiteral("abcd"));

    // A week that cannot be read is told, and its boxes take no typing that could never be stored.
    ASSERT_TRUE(QFile::rename(database, away));
    window->switchMonth(5);
    ASSERT_EQ(errors().size(), 2);
    EXPECT_TRUE(errors()[1].startsWith(QStringLiteral("本周内容未能读取：")));
    EXPECT_TRUE(box(1)->toPlainText().isEmpty());
    EXPECT_TRUE(box(1)->isReadOnly());
    ASSERT_TRUE(QFile::rename(away, database));
    window->switchMonth(6);
    EXPECT_FALSE(box(1)->isReadOnly());
    EXPECT_EQ(box(1)->toPlainText(), QStringLiteral("abcd"));
    const std::size_t before = dialogs.shown.size();
    window->close();
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(dialogs.shown.size(), before);
}

TEST_F(MainWindowTest, AClearedWeekComesBackFromTheHistoryWindow)
{
    start();
    show();
    box(1)->setContentText(QStringLiteral("plan"));
    stored();
    window->clearButton()->click(); // keeps what it clears as a version
    stored();
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 0)).plainText(), QString());

    dialogs.whileModal = [](QDialog *shown) {
        auto *history = static_cast<HistoryDialog *>(shown);
        ASSERT_EQ(history->versionList()->count(), 1);
        EXPECT_TRUE(history->versionList()->item(0)->text().contains(QStringLiteral("周一 plan")));
        history->versionList()->setCurrentRow(0);
        history->restoreButton()->click();
    };
    for (QAction *action : window->optionsMenu()->actions())
        if (action->objectName() == QLatin1String("N_History"))
            action->trigger();
    stored();
    EXPECT_EQ(box(1)->toPlainText(), QStringLiteral("plan"));
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 0)).plainText(), QStringLiteral("plan"));
    EXPECT_EQ(weekVersions(inspector.database(), 1, QStringLiteral("20106")).size(), 2u); // the empty week too
}

TEST_F(MainWindowTest, CtrlFFindsAnyYearAndShowsTheDayWithItsMatchSelected)
{
    inspector.insertWeek(QStringLiteral("tb_D"), QStringLiteral("20093"),
                         WeekMemos{QByteArray(), QByteArray(), "{\\rtf1\\ansi\\ansicpg936 first line\\par go to the Dentist\\par}"});
    start();
    show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    dialogs.whileModal = [](QDialog *shown) {
        auto *search = static_cast<SearchDialog *>(shown);
        QTest::keyClicks(search->field(), QStringLiteral("dent"));
        ASSERT_EQ(search->results()->count(), 1);
        QTest::keyClick(search->field(), Qt::Key_Return);
    };
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(dialogs.modalWindows.size(), 1u);
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("20093"));
    EXPECT_EQ(window->currentSlot(), 4);
    EXPECT_EQ(window->monthLabel()->text(), QStringLiteral("2009年3月")); // another year shows its year
    EXPECT_TRUE(box(3)->hasFocus());
    EXPECT_EQ(box(3)->textCursor().selectedText(), QStringLiteral("Dent"));

    // Back to this year's month; the year menu entries step from the shown one.
    item(window->monthMenu(), "N_Today")->trigger();
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("20106"));
    EXPECT_EQ(window->monthLabel()->text(), QStringLiteral("6"));
    item(window->monthMenu(), "N_PreviousYear")->trigger();
    EXPECT_EQ(window->selectedYearMonth(), QStringLiteral("20096"));
    EXPECT_EQ(window->monthLabel()->text(), QStringLiteral("2009年6月"));
}

TEST_F(MainWindowTest, TheSessionsEndStoresTheWeekAndTheWindowSettings)
{
    start();
    show();
    {
        const QSignalBlocker unseen(box(3)); // typed, and not yet handed to the writer
        box(3)->setContentText(QStringLiteral("typed"));
    }
    window->setGeometry(40, 50, 1000, 600);
    window->endSession();
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 2)).plainText(), QStringLiteral("typed"));
    EXPECT_EQ(readLineFile(folder.folder() + QStringLiteral("Data/FormSize.ini"))->mid(1, 4),
              (QStringList{"1000", "600", "40", "50"}));
}

// Wayland: the compositor places the window and never says where, so
// maximising is its own, and the place read at the start stays while the
// size follows the window.
TEST_F(MainWindowTest, WithoutWindowPositionsTheCompositorMaximisesAndTheKnownPlaceIsStored)
{
    screen.reportsPositions = false;
    start();
    show();
    window->toggleMaximised();
    EXPECT_TRUE(window->isMaximized());
    window->toggleMaximised();
    EXPECT_FALSE(window->isMaximized());
    window->setGeometry(0, 0, 1000, 600);
    window->endSession();
    EXPECT_EQ(readLineFile(folder.folder() + QStringLiteral("Data/FormSize.ini"))->mid(1, 4),
              (QStringList{"1000", "600", "187", "115"})); // 906 x 540 centred at the first start
}

// Chinese comes through an input method: committed text lands once in the
// focused box and is stored; text still being composed is never stored.
TEST_F(MainWindowTest, InputMethodTextIsStoredOnceAndItsPreeditNever)
{
    start();
    show();
    RichEdit *monday = box(1);
    monday->setFocus();
    const auto compose = [&](const QString &preedit, const QString &commit = {}) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QApplication::sendEvent(monday, &event);
    };
    const auto storedMonday = [&] {
        stored();
        return DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 0)).plainText();
    };
    compose(QStringLiteral("ni"));
    compose(QStringLiteral("nihao"));
    EXPECT_EQ(storedMonday(), QString());
    compose({}, QStringLiteral("你好"));
    EXPECT_EQ(monday->toPlainText(), QStringLiteral("你好"));
    EXPECT_EQ(storedMonday(), QStringLiteral("你好"));

    compose(QStringLiteral("shijie")); // still composing when the session ends
    EXPECT_FALSE(monday->rtf().contains("shijie"));
    window->endSession();
    EXPECT_EQ(storedMonday(), QStringLiteral("你好"));
}

TEST(EndSignals, TermAndHangUpArriveInTheEventLoop)
{
    EndSignals ends;
    QList<int> received;
    QObject::connect(&ends, &EndSignals::received, [&](int number) { received.append(number); });
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }));
    EXPECT_EQ(received, (QList<int>{SIGTERM, SIGHUP}));
}

TEST_F(MainWindowTest, FramelessWithCaptionPicturesThatFollowTheMouse)
{
    start();
    show();
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window->captionPicture("img_max_normal")->isVisible());
    EXPECT_FALSE(window->captionPicture("img_max_highlight")->isVisible());
    QMouseEvent over(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window->captionPicture("img_max_normal"), &over);
    EXPECT_TRUE(window->captionPicture("img_max_highlight")->isVisible());
    EXPECT_FALSE(window->captionPicture("img_max_normal")->isVisible());
    QApplication::sendEvent(window->background(), &over);
    EXPECT_TRUE(window->captionPicture("img_max_normal")->isVisible());
    EXPECT_EQ(window->captionPicture("img_mini_highlight")->pos() + QPoint(1, 0),
              window->captionPicture("img_mini_normal")->pos());

    // Maximise twice from the remembered 906 x 540: full width, then back, centred.
    window->toggleMaximised();
    EXPECT_EQ(window->geometry(), QRect(0, 0, 1280, 770));
    EXPECT_EQ(window->captionPicture("img_close_normal")->x(), 858 + 1280 - 898); // anchored to the right
    window->toggleMaximised();
    EXPECT_EQ(window->geometry(), QRect(187, 115, 906, 540));
}

TEST_F(MainWindowTest, WeekPageAtTheDesignSize)
{
    writeLineFile(folder.folder() + QStringLiteral("Data/FormSize.ini"),
                  {QStringLiteral("1"), QStringLiteral("898"), QStringLiteral("501"), QStringLiteral("10"), QStringLiteral("20")});
    start();
    show();
    EXPECT_EQ(window->size(), MainWindow::kDesignSize);
    EXPECT_EQ(window->weekPage()->size(), QSize(571, 406));
    EXPECT_EQ(box(1)->geometry(), QRect(1, 26, 188, 174));
    EXPECT_EQ(box(6)->geometry(), QRect(385, 226, 184, 177));
    window->resize(1000, 600); // the page follows the window
    EXPECT_EQ(window->weekPage()->size(), QSize(673, 505));
    EXPECT_EQ(box(2)->geometry().left(), (673 - 4) / 3 + 4 + 2);
    EXPECT_EQ(window->monthLabel()->x(), 635 + 102);
}

TEST(ProgramStart, ADatabaseThatCannotBeOpenedEndsTheProgramWithAMessage)
{
    for (const bool garbage : {false, true}) {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        const QString database = dir.path() + QStringLiteral("/Data/UserData.db");
        if (garbage) {
            QFile file(database);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("not a database at all, just some text that is long enough to be read");
        }
        test::FakeClock clock(kSunday6June2010);
        test::FakeDialogs dialogs;
        test::FakeScreen screen(QSize(1280, 800));
        Program program(dir.path(), clock, screen, dialogs, [] {});
        EXPECT_FALSE(program.start());
        EXPECT_EQ(program.mainWindow(), nullptr);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("message"));
        EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("配置文件加载失败，请重试！"));
        EXPECT_EQ(QFile::exists(database), garbage); // never created
    }
}

// Installed for every user: the program lays out the user's own folder at
// the first start, and never replaces what is there.
TEST(ProgramStart, APerUserFolderIsLaidOutAtTheFirstStartAndKeptAfterwards)
{
    QTemporaryDir home;
    const QString folder = home.path() + QStringLiteral("/.local/share/tavi/");
    test::FakeClock clock(kSunday6June2010);
    test::FakeScreen screen(QSize(1280, 800));
    const auto startIn = [&](const QString &where, test::FakeDialogs &dialogs) {
        Program program(where, clock, screen, dialogs, [] {}, Program::Folder::PerUser);
        const bool started = program.start();
        return std::pair(started, program.exitCode());
    };
    test::FakeDialogs dialogs;
    EXPECT_EQ(startIn(folder, dialogs), std::pair(true, 0));
    EXPECT_TRUE(dialogs.shown.empty());
    for (const char *file : {"Data/UserData.db", "Data/loginstr.db", "source/DeskTopBG/A1.bmp", "Data/FormSize.ini"})
        EXPECT_TRUE(QFileInfo(folder + QLatin1String(file)).size() > 0) << file;

    test::NotesInspector(folder + QStringLiteral("Data/UserData.db"))
        .insertWeek(QStringLiteral("tb_A"), QStringLiteral("20106"), WeekMemos{"{\\rtf1 plan\\par}"});
    {
        QFile picture(folder + QStringLiteral("source/DeskTopBG/A1.bmp"));
        ASSERT_TRUE(picture.open(QIODevice::Append));
        picture.write("mine");
    }
    const QByteArray picture = test::readFileBytes(folder + QStringLiteral("source/DeskTopBG/A1.bmp"));
    EXPECT_EQ(startIn(folder, dialogs), std::pair(true, 0));
    EXPECT_EQ(test::readFileBytes(folder + QStringLiteral("source/DeskTopBG/A1.bmp")), picture);
    EXPECT_EQ(test::NotesInspector(folder + QStringLiteral("Data/UserData.db")).rows(QStringLiteral("tb_A")).size(), 1u);

    // A file where the folder should be: said, and the program ends.
    QFile occupied(home.path() + QStringLiteral("/occupied"));
    ASSERT_TRUE(occupied.open(QIODevice::WriteOnly));
    test::FakeDialogs refused;
    EXPECT_EQ(startIn(home.path() + QStringLiteral("/occupied/tavi/"), refused), std::pair(false, 1));
    ASSERT_EQ(refused.shown.size(), 1u);
    EXPECT_TRUE(refused.shown[0].text.startsWith(QStringLiteral("无法建立数据文件夹 "))) << refused.shown[0].text.toStdString();
}

TEST(ProgramStart, TheFailureMessageNamesTheImportWhenOnlyTheOldDatabaseIsThere)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("data"));
    QFile legacy(dir.path() + QStringLiteral("/data/userdata.MDB")); // names as Windows left them
    ASSERT_TRUE(legacy.open(QIODevice::WriteOnly));
    legacy.close();
    test::FakeClock clock(kSunday6June2010);
    test::FakeDialogs dialogs;
    test::FakeScreen screen(QSize(1280, 800));
    Program program(dir.path() + u'/', clock, screen, dialogs, [] {});
    EXPECT_FALSE(program.start());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QStringList lines = dialogs.shown[0].text.split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("配置文件加载失败，请重试！"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("tavi-cli import-mdb --folder ") + dir.path() + u'/'));
    EXPECT_TRUE(lines[1].endsWith(dir.path() + QStringLiteral("/data/userdata.MDB")));
}

TEST(ProgramStart, TheImportIsPointedToWhileTheNotesDatabaseHoldsNothing)
{
    test::ProgramFolderFixture folder;
    QFile legacy(folder.folder() + QStringLiteral("Data/UserData.mdb"));
    ASSERT_TRUE(legacy.open(QIODevice::WriteOnly));
    legacy.close();
    test::NotesInspector inspector(folder.databasePath());
    test::FakeClock clock(kSunday6June2010);
    test::FakeScreen screen(QSize(1280, 800));
    const auto notices = [&](const char *note) {
        test::FakeDialogs dialogs;
        Program program(folder.folder(), clock, screen, dialogs, [] {});
        EXPECT_TRUE(program.start()) << note;
        QStringList texts;
        for (const auto &shown : dialogs.shown)
            texts.append(shown.kind + u':' + shown.text);
        return texts;
    };
    const QStringList first = notices("empty database");
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(first[0].startsWith(QStringLiteral("notice:找到旧版的笔记 "))) << first[0].toStdString();
    EXPECT_TRUE(first[0].contains(QStringLiteral(" import-mdb --folder "))) << first[0].toStdString();

    // Rows of empty boxes are no notes; a written one is.
    inspector.insertWeek(QStringLiteral("tb_B"), QStringLiteral("20105"), WeekMemos{"{\\rtf1 \\par }", "", " \r\n"});
    EXPECT_EQ(notices("empty rows").size(), 1);
    inspector.insertWeek(QStringLiteral("tb_C"), QStringLiteral("20104"), WeekMemos{"", "{\\rtf1 plan\\par}"});
    EXPECT_TRUE(notices("notes").isEmpty());
}
