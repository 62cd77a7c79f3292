// Apply to desktop from the main window: the question, the flow and its one message.
#include "app/Program.h"
#include "pictures/BmpReader.h"
#include "formats/LineFile.h"
#include "widgets/RichEdit.h"
#include "tests/support/NotesFixture.h"
#include "wallpaper/ApplyToDesktop.h"
#include "dialogs/ApplyQuestionDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

class ApplyWiringTest : public ::testing::Test {
protected:
    // ask: whether the confirmation file asks before the wallpaper changes.
    void start(bool ask = true)
    {
        Bitmap background(700, 480, 24);
        writeBmp(folder.folder() + QStringLiteral("source/DeskTopBG/A1.bmp"), background);
        if (!ask)
            writeLineFile(folder.folder() + QStringLiteral("Data/configSetBg.ini"), {QStringLiteral("0")});
        program = std::make_unique<Program>(folder.folder(), clock, screen, dialogs, [] {});
        ASSERT_TRUE(program->start());
        program->mainWindow()->setWallpaperSetter([this](const QString &path) {
            given.append(path);
            if (whileSetting)
                whileSetting();
            if (!setterWorks)
                throw WallpaperNotSet("no setter here", path);
            return QStringLiteral("test");
        });
        window = program->mainWindow();
        window->show();
    }
    QByteArray confirmationFile() const
    {
        QFile file(folder.folder() + QStringLiteral("Data/configSetBg.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // The user's answer to the question, given while the window is open.
    void answer(bool tick, QPushButton *(ApplyQuestionDialog::*button)() const)
    {
        dialogs.whileModal = [tick, button](QDialog *window) {
            auto *question = static_cast<ApplyQuestionDialog *>(window);
            question->dontAskAgain()->setChecked(tick);
            (question->*button)()->click();
        };
    }

    test::ProgramFolderFixture folder;
    test::FakeClock clock{QDateTime(QDate(2010, 6, 1), QTime(8, 0))};
    test::FakeScreen screen{QSize(1280, 800)};
    test::FakeDialogs dialogs;
    std::unique_ptr<Program> program;
    MainWindow *window = nullptr;
    QStringList given;
    bool setterWorks = true;
    std::function<void()> whileSetting;
};

} // namespace

TEST_F(ApplyWiringTest, TheQuestionWindow)
{
    start();
    ApplyQuestionDialog &question = program->mainWindow()->applyQuestion();
    EXPECT_EQ(question.size(), QSize(344, 156));
    EXPECT_TRUE(question.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(question.question()->text(), QStringLiteral("您确定要更换壁纸？"));
    EXPECT_EQ(question.dontAskAgain()->text(), QStringLiteral("下次不再提示"));
    EXPECT_FALSE(question.dontAskAgain()->isChecked());
    EXPECT_EQ(question.okButton()->text(), QStringLiteral("确  定"));
    EXPECT_EQ(question.cancelButton()->text(), QStringLiteral("取  消"));
    EXPECT_EQ(question.closeButton()->text(), QStringLiteral("X"));
}

TEST_F(ApplyWiringTest, CancelAndCloseWriteNothingApplyNothingAndKeepTheTick)
{
    start();
    for (auto button : {&ApplyQuestionDialog::cancelButton, &ApplyQuestionDialog::closeButton}) {
        answer(true, button);
        window->applyToDesktop();
        EXPECT_TRUE(given.isEmpty());
        EXPECT_EQ(confirmationFile(), QByteArray("1\r\n"));
        EXPECT_TRUE(program->mainWindow()->applyQuestion().dontAskAgain()->isChecked());
    }
    // Escape, or closing it some other way, is a cancel even after an earlier OK.
    answer(false, &ApplyQuestionDialog::okButton);
    window->applyToDesktop();
    ASSERT_EQ(given.size(), 1);
    dialogs.whileModal = [](QDialog *window) { QTest::keyClick(window, Qt::Key_Escape); };
    window->applyToDesktop();
    dialogs.whileModal = [](QDialog *window) { window->hide(); };
    window->applyToDesktop();
    EXPECT_EQ(given.size(), 1);
}

TEST_F(ApplyWiringTest, TickAndOkSwitchTheQuestionOffForGoodAndApply)
{
    start();
    answer(true, &ApplyQuestionDialog::okButton);
    QTest::mouseClick(window->applyButton(), Qt::LeftButton);
    EXPECT_EQ(confirmationFile(), QByteArray("0\r\n"));
    ASSERT_EQ(given.size(), 1);
    EXPECT_EQ(given[0], folder.folder() + QStringLiteral("source/DeskTopBG/Mix.bmp"));
    EXPECT_EQ(readBmp(given[0]).bitsPerPixel(), 24);

    // No more questions, in this run...
    const std::size_t shownBefore = dialogs.modalWindows.size();
    window->applyToDesktop();
    EXPECT_EQ(dialogs.modalWindows.size(), shownBefore);
    EXPECT_EQ(given.size(), 2);
    // ...or after a restart.
    program.reset();
    start();
    EXPECT_FALSE(program->mainWindow()->asksBeforeApply());
}

TEST_F(ApplyWiringTest, OkWithoutTheTickAppliesAndAsksAgainNextTime)
{
    start();
    answer(false, &ApplyQuestionDialog::okButton);
    window->applyToDesktop();
    window->applyToDesktop();
    EXPECT_EQ(given.size(), 2);
    EXPECT_EQ(dialogs.modalWindows.size(), 2u);
    EXPECT_EQ(confirmationFile(), QByteArray("1\r\n"));
}

TEST_F(ApplyWiringTest, AClickWhileTheWallpaperIsBeingSetStartsNoSecondApply)
{
    start(false);
    writeLineFile(folder.folder() + QStringLiteral("Data/BGPicList.ini"), {"A1.bmp", "A1.bmp", "b.bmp", "A1.bmp"});
    window->loadBackgroundList(false);
    const int index = window->backgrounds().index;
    whileSetting = [this] { window->applyToDesktop(); };
    window->applyToDesktop();
    EXPECT_EQ(given.size(), 1);
    EXPECT_EQ(window->backgrounds().index, index - 1);
}

TEST_F(ApplyWiringTest, AConfirmationFileThatCannotBeWrittenKeepsTheWindowOpen)
{
    start();
    QFile::remove(folder.folder() + QStringLiteral("Data/configSetBg.ini"));
    ASSERT_TRUE(QDir().mkdir(folder.folder() + QStringLiteral("Data/configSetBg.ini")));
    bool stayedOpen = false;
    dialogs.whileModal = [&](QDialog *window) {
        auto *question = static_cast<ApplyQuestionDialog *>(window);
        question->dontAskAgain()->setChecked(true);
        question->okButton()->click();
        stayedOpen = question->isVisible();
        question->cancelButton()->click();
    };
    window->applyToDesktop();
    EXPECT_TRUE(stayedOpen);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().kind, QStringLiteral("error"));
    EXPECT_TRUE(given.isEmpty()); // cancelled in the end
    EXPECT_FALSE(window->asksBeforeApply()); // switched off for this run all the same
}

TEST_F(ApplyWiringTest, NoWorkingSetterIsToldOncePerRunWithThePicturesPath)
{
    start(false);
    setterWorks = false;
    const int index = window->backgrounds().index;
    window->applyToDesktop();
    window->applyToDesktop();
    EXPECT_EQ(given.size(), 2);
    EXPECT_EQ(window->backgrounds().index, index);
    int boxes = 0;
    for (const auto &shown : dialogs.shown) {
        if (shown.kind != QLatin1String("box"))
            continue;
        ++boxes;
        EXPECT_EQ(shown.caption, QStringLiteral("Tavi周记事本"));
        EXPECT_TRUE(shown.text.contains(folder.folder() + QStringLiteral("source/DeskTopBG/Mix.bmp")));
    }
    EXPECT_EQ(boxes, 1);
}

TEST(LoginGate, NoPasswordAsksNothingAndARefusalEndsWithoutSaving)
{
    struct Case {
        const char *name;
        std::optional<QByteArray> file;
        bool asks;
    };
    const Case cases[] = {
        {"no file", std::nullopt, false},
        {"empty file", QByteArray(), false},
        {"sentinel", QByteArray("NOKEY7302468\r\nwhatever\r\n-1\r\n"), false},
        {"password with line 3 0", QByteArray("secret\r\nsecret\r\n0\r\n"), true},
    };
    for (const Case &c : cases) {
        test::ProgramFolderFixture folder;
        if (c.file)
            writeFileAtomically(folder.folder() + QStringLiteral("Data/loginstr.db"), *c.file);
        test::FakeClock clock(QDateTime(QDate(2010, 6, 1), QTime(8, 0)));
        test::FakeScreen screen(QSize(1280, 800));
        test::FakeDialogs dialogs;
        dialogs.whileModal = [](QDialog *window) { window->close(); }; // the login window closed unanswered
        int endRequests = 0;
        Program program(folder.folder(), clock, screen, dialogs, [&] { ++endRequests; });
        EXPECT_EQ(program.start(), !c.asks) << c.name;
        EXPECT_EQ(dialogs.modalWindows.size(), c.asks ? 1u : 0u) << c.name;
        if (!c.asks)
            continue;
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_GE(endRequests, 1);
        EXPECT_FALSE(program.mainWindow()->isVisible());
        EXPECT_TRUE(test::NotesInspector(folder.databasePath()).rows(QStringLiteral("tb_A")).empty()) << "no week saved";
    }
}
