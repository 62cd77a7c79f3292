#pragma once

#include "app/Program.h"
#include "widgets/RichEdit.h"
#include "tests/support/NotesFixture.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace tavi::test {

// The menu's item of that object name; a failure when it has none.
inline QAction *menuItem(QMenu *menu, const char *name)
{
    for (QAction *action : menu->actions())
        if (action->objectName() == QLatin1String(name))
            return action;
    ADD_FAILURE() << "no item " << name;
    return nullptr;
}

// The whole program started on a fresh program folder (1 June 2010, a 1280 x
// 800 screen, scripted dialogs), its main window shown and active.
class ShownProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = std::make_unique<Program>(folder.folder(), clock, screen, dialogs, [] {});
        ASSERT_TRUE(program->start());
        window = program->mainWindow();
        window->show();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    RichEdit *box(int day) const { return window->dayBoxes()[day - 1]; }
    // Waits until the writer has stored every save, then lets its reports through.
    void stored()
    {
        program->notesWriter().flush();
        QCoreApplication::processEvents();
    }
    QAction *item(QMenu *menu, const char *name) const { return menuItem(menu, name); }
    void rightClick(RichEdit *target)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target->viewport(), &event);
        window->dayBoxMenu()->close();
    }

    ProgramFolderFixture folder;
    FakeClock clock{QDateTime(QDate(2010, 6, 1), QTime(8, 0))};
    FakeScreen screen{QSize(1280, 800)};
    FakeDialogs dialogs;
    std::unique_ptr<Program> program;
    MainWindow *window = nullptr;
};

} // namespace tavi::test
