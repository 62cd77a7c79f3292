// The editing commands and the export as the main window offers them.
#include "app/Program.h"
#include "dialogs/BackgroundsDialog.h"
#include "formats/LineFile.h"
#include "widgets/RichEdit.h"
#include "tests/app/ShownProgram.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

using EditingWiringTest = test::ShownProgram;

} // namespace

TEST_F(EditingWiringTest, DayBoxMenuItemsInOrder)
{
    QStringList captions;
    for (QAction *action : window->dayBoxMenu()->actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, (QStringList{"复制", "粘贴", "删除", "剪切", "-", "打V", "打X", "-", "撤销(Ctrl+Z)"}));
    for (QAction *action : window->dayBoxMenu()->actions())
        EXPECT_TRUE(action->shortcut().isEmpty());
}

TEST_F(EditingWiringTest, TheMenuActsOnTheBoxItWasOpenedOver)
{
    box(1)->setFocus();
    QTest::keyClicks(box(1), QStringLiteral("mon"));
    rightClick(box(2));
    item(window->dayBoxMenu(), "V1")->trigger();
    EXPECT_EQ(box(2)->toPlainText(), QStringLiteral("√"));
    EXPECT_EQ(box(1)->toPlainText(), QStringLiteral("mon"));

    // Over the memo box the menu opens, but its commands do nothing.
    rightClick(window->memoBox());
    item(window->dayBoxMenu(), "X1")->trigger();
    EXPECT_EQ(window->memoBox()->toPlainText(), QString());
}

TEST_F(EditingWiringTest, ToolbarKeepsTheFocusInTheBox)
{
    for (QWidget *control : std::initializer_list<QWidget *>{window->tickButton(), window->crossButton(), window->clearButton(),
                                                             window->dateButton(), window->colourButton()})
        EXPECT_EQ(control->focusPolicy(), Qt::NoFocus) << control->objectName().toStdString();
    box(3)->setFocus();
    QTest::mouseClick(window->crossButton(), Qt::LeftButton);
    QTest::mouseClick(window->tickButton(), Qt::LeftButton);
    QTest::mouseClick(window->dateButton(), Qt::LeftButton);
    EXPECT_TRUE(box(3)->hasFocus());
    EXPECT_EQ(box(3)->toPlainText(), QStringLiteral("×√ 2010.06.01 (二)"));
    // The edits reached the database through the automatic save.
    stored();
    EXPECT_EQ(DayNote(test::NotesInspector(folder.databasePath()).memo(QStringLiteral("tb_A"), QStringLiteral("20106"), 2)).plainText(), QStringLiteral("×√ 2010.06.01 (二)"));

    dialogs.colourAnswers = {QColor(0, 0, 255)};
    box(3)->selectAll();
    QTest::mouseClick(window->colourButton(), Qt::LeftButton);
    EXPECT_EQ(dialogs.colourDialogsOpenedOn, std::vector<QColor>{QColor(Qt::black)});
    EXPECT_TRUE(box(3)->rtf().contains("\\blue255"));
}

TEST_F(EditingWiringTest, ClearAllWithTheFocusOutsideEmptiesAndSaves)
{
    for (int day = 1; day <= 6; ++day)
        box(day)->setContentText(QStringLiteral("day %1").arg(day));
    window->setFocus();
    QTest::mouseClick(window->clearButton(), Qt::LeftButton);
    stored();
    test::NotesInspector inspector(folder.databasePath());
    for (int day = 1; day <= 6; ++day) {
        EXPECT_EQ(box(day)->toPlainText(), QString());
        EXPECT_EQ(DayNote(inspector.memo(QStringLiteral("tb_A"), QStringLiteral("20106"), day - 1)).plainText(), QString());
    }
}

TEST_F(EditingWiringTest, ExportFromTheOptionsMenuAndItsErrorReport)
{
    box(1)->setContentText(QStringLiteral("周一"));
    const QString target = folder.folder() + QStringLiteral("周报");
    dialogs.fileAnswers = {target};
    item(window->optionsMenu(), "N_")->trigger();
    QFile file(target + QStringLiteral(".txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("\xD0\xC7\xC6\xDA\xD2\xBB\r\n\xD6\xDC\xD2\xBB\r\n"));
    EXPECT_EQ(dialogs.shown.back().caption, QStringLiteral("*.Txt|*.Txt"));
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("A记事"));

    // A file that cannot be written ends the command with the general error report.
    dialogs.fileAnswers = {folder.folder() + QStringLiteral("no/such/folder/week")};
    item(window->optionsMenu(), "N_")->trigger();
    EXPECT_EQ(dialogs.shown.back().kind, QStringLiteral("error"));
    EXPECT_TRUE(dialogs.shown.back().text.contains(folder.folder() + QStringLiteral("no/such/folder/week.txt")));
    EXPECT_EQ(box(1)->toPlainText(), QStringLiteral("周一"));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(EditingWiringTest, WeekTextsAreThePlainTextOfTheSixBoxes)
{
    box(1)->setContentText(QStringLiteral("line 1\nline 2"));
    box(6)->setContentText(QStringLiteral("周末"));
    const WeekTexts texts = window->weekTexts();
    EXPECT_EQ(texts[0], QStringLiteral("line 1\r\nline 2"));
    EXPECT_EQ(texts[1], QString());
    EXPECT_EQ(texts[5], QStringLiteral("周末"));
}

TEST_F(EditingWiringTest, TheSelectionWindowAndTheListReload)
{
    // Start-up read the default list: the last line, index 1.
    EXPECT_EQ(window->backgrounds().current, QStringLiteral("A1.bmp"));
    EXPECT_EQ(window->backgrounds().index, 0);
    writeFileAtomically(folder.folder() + QStringLiteral("Data/BGPicList.ini"), "A1.bmp\r\nA1.bmp\r\nB.bmp\r\nB.bmp\r\nC.bmp\r\n");

    // Closed without a choice: Changed false, the last picture.
    dialogs.whileModal = [](QDialog *window) { window->close(); };
    QTest::mouseClick(window->addBackgroundButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs.modalWindows.size(), 1u);
    EXPECT_EQ(window->backgrounds().index, 4);

    // OK on B.bmp: Changed true, the last line naming it.
    dialogs.whileModal = [](QDialog *window) {
        auto *frm = static_cast<BackgroundsDialog *>(window);
        frm->pictureList()->findItems(QStringLiteral("B.bmp"), Qt::MatchExactly).first()->setSelected(true);
        frm->confirm();
    };
    window->openBackgrounds();
    EXPECT_EQ(window->backgrounds().current, QStringLiteral("B.bmp"));
    EXPECT_EQ(window->backgrounds().index, 3);
    EXPECT_EQ(program->mainWindow()->backgrounds().linesRead, 5);
}
