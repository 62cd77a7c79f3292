// The options menu, the help and feedback entries and the web panel of the main window.
#include "app/Program.h"
#include "app/ProgramPages.h"
#include "app/SidePanel.h"
#include "widgets/RichEdit.h"
#include "tests/app/ShownProgram.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

using ChromeTest = test::ShownProgram;

// Counts the mouse presses a widget itself receives.
struct PressCounter : QObject {
    int right = 0, left = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton ? right : left)++;
        return false;
    }
};

} // namespace

TEST_F(ChromeTest, OptionsMenuItemsInOrderAndWhatHelpAndFeedbackShow)
{
    QStringList captions;
    for (QAction *action : window->optionsMenu()->actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, (QStringList{"内容导出", "查找…", "历史版本…", "-", "登陆密码", "帮助说明", "意见反馈", "-", "退出程序"}));
    item(window->optionsMenu(), "N_help")->trigger();
    item(window->optionsMenu(), "N_Submit")->trigger();
    // Help is the program's own page; feedback opens the issue page only when the build names one.
    const bool issuePage = !issuesPage().isEmpty();
    ASSERT_EQ(dialogs.shown.size(), issuePage ? 1u : 2u);
    EXPECT_EQ(dialogs.shown[0].kind, "page");
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("帮助说明 - Tavi周记事本"));
    EXPECT_EQ(dialogs.opened.size(), issuePage ? 1u : 0u);
    EXPECT_EQ(dialogs.shown.back().kind, issuePage ? "page" : "message");
}

TEST_F(ChromeTest, HelpPageTellsEveryCommandOfTheWindowAndWhereTheNotesAre)
{
    item(window->optionsMenu(), "N_help")->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    QTextDocument page;
    page.setHtml(dialogs.shown[0].text);
    const QString text = page.toPlainText();

    QStringList commands;
    for (QMenu *menu : {window->optionsMenu(), window->dayBoxMenu(), window->monthMenu()}) {
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator() && !action->objectName().startsWith(QLatin1String("N_Month")))
                commands.append(action->text());
        }
    }
    for (QPushButton *button : {window->tickButton(), window->crossButton(), window->clearButton()})
        commands.append(button->text());
    for (QLabel *picture : {window->dateButton(), window->colourButton()})
        commands.append(picture->toolTip());
    commands << "A B C D E" << "月份菜单" << "添加桌面背景" << "应用到桌面" << "您确定要更换壁纸？" << "最小化" << "最大化" << "关闭";
    commands << folder.folder() << "Data/UserData.db";
    for (const QString &command : commands)
        EXPECT_TRUE(text.contains(command)) << command.toStdString();
}

TEST_F(ChromeTest, SidePanelShowsTheShownMonthAndNeverAContextMenuOfItsView)
{
    SidePanel *panel = window->sidePanel();
    EXPECT_EQ(panel->geometry(), QRect(1, 1, 300, 250));
    // The whole page shows in the panel once the window is up, and follows the month the window shows.
    EXPECT_EQ(panel->view()->geometry(), panel->rect());
    EXPECT_TRUE(QTest::qWaitFor([panel] { return panel->view()->toPlainText().startsWith(QStringLiteral("2010年6月")); }))
        << panel->view()->toPlainText().toStdString();
    window->switchMonth(5); // six rows of days
    EXPECT_TRUE(panel->view()->toPlainText().startsWith(QStringLiteral("2010年5月")));
    EXPECT_LE(panel->view()->document()->size().height(), panel->view()->viewport()->height());

    // Right buttons on the view and on the viewport inside it go no further; an empty menu opens.
    for (QWidget *target : {static_cast<QWidget *>(panel->view()), panel->view()->viewport()}) {
        SCOPED_TRACE(target->metaObject()->className());
        PressCounter counter;
        target->installEventFilter(&counter);
        const QPoint at(100, 100);
        QTest::mousePress(target, Qt::RightButton, {}, at);
        QTest::mouseRelease(target, Qt::RightButton, {}, at);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->actions().isEmpty());
        menu->close();
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        QTest::mouseRelease(target, Qt::LeftButton, {}, at);
        EXPECT_EQ(counter.right, 0);
        EXPECT_EQ(counter.left, 1);
        // The view's own menu (copy, select all) never opens either.
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &request);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }

    // A day box's own menu still opens on a right click.
    RichEdit *box = window->dayBoxes()[1];
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box->viewport(), &menu);
    EXPECT_TRUE(window->dayBoxMenu()->isVisible());
    window->dayBoxMenu()->close();
}
