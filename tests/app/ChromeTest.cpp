// The options menu and the web panel of the main window.
#include "app/Program.h"
#include "app/WebPanel.h"
#include "platform/RichEdit.h"
#include "tests/app/ShownProgram.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

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

TEST_F(ChromeTest, OptionsMenuItemsInOrderAndTheirPages)
{
    QStringList captions;
    for (QAction *action : window->optionsMenu()->actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, (QStringList{"内容导出", "-", "登陆密码", "帮助说明", "意见反馈", "-", "退出程序"}));
    for (QAction *action : window->optionsMenu()->actions()) {
        if (action->objectName() == QLatin1String("N_help") || action->objectName() == QLatin1String("N_Submit"))
            action->trigger();
    }
    ASSERT_EQ(dialogs.opened.size(), 2u);
    EXPECT_EQ(dialogs.opened[0], makerPage("/help4/tavi1.htm"));
    EXPECT_EQ(dialogs.opened[1], makerPage("/help4/tavi2.htm"));
    EXPECT_TRUE(dialogs.opened[0].toString().endsWith(QLatin1String("/help4/tavi1.htm")));
}

TEST_F(ChromeTest, WebPanelShowsPartOfALargerViewAndNeverItsContextMenu)
{
    WebPanel *panel = window->webPanel();
    EXPECT_EQ(panel->geometry(), QRect(1, 1, 300, 250));
    EXPECT_EQ(panel->view()->geometry(), QRect(-11, -16, 2000, 841));

    PressCounter counter;
    panel->view()->installEventFilter(&counter);
    const QPoint at(100, 100);
    QTest::mousePress(panel->view(), Qt::RightButton, {}, at);
    QTest::mouseRelease(panel->view(), Qt::RightButton, {}, at);
    QTest::mousePress(panel->view(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(panel->view(), Qt::LeftButton, {}, at);
    EXPECT_EQ(counter.right, 0);
    EXPECT_EQ(counter.left, 1);

    // A day box's own menu still opens on a right click.
    RichEdit *box = window->dayBoxes()[1];
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box->viewport(), &menu);
    EXPECT_TRUE(window->dayBoxMenu()->isVisible());
    window->dayBoxMenu()->close();
}
