#include "editing/EditingCommands.h"

#include "widgets/RichEdit.h"
#include "formats/TextCodec.h"
#include "tests/support/NotesFixture.h"
#include "tests/support/TextColour.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <array>

using namespace tavi;
using tavi::test::colourAt;
using tavi::test::FakeClock;
using tavi::test::FakeDialogs;

namespace {

// A shown, active window: the week page with its six day boxes between
// labels, and outside the page a memo box and a line edit.
struct Window {
    QWidget widget;
    QWidget *page = new QWidget(&widget);
    std::array<RichEdit *, 6> boxes{};
    RichEdit *memo = new RichEdit(&widget);
    QLineEdit *lineEdit = new QLineEdit(&widget);
    FakeClock clock{QDateTime(QDate(2010, 6, 1), QTime(9, 30))};
    FakeDialogs dialogs;
    int saves = 0;
    EditingCommands commands{page, clock, dialogs, [this] { ++saves; }};

    Window()
    {
        auto *pageLayout = new QVBoxLayout(page);
        for (int i = 0; i < 6; ++i) {
            pageLayout->addWidget(new QLabel(QStringLiteral("day %1").arg(i + 1), page));
            boxes[i] = new RichEdit(page);
            boxes[i]->setObjectName(QStringLiteral("redt%1").arg(i + 1));
            pageLayout->addWidget(boxes[i]);
        }
        pageLayout->addWidget(new QFrame(page));
        auto *layout = new QVBoxLayout(&widget);
        layout->addWidget(page);
        layout->addWidget(memo);
        layout->addWidget(lineEdit);
        widget.show();
        QApplication::setActiveWindow(&widget);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&widget));
    }

    // Gives box the focus with text in it and [from, to) selected.
    static void select(RichEdit *box, const QString &text, int from, int to)
    {
        box->setFocus();
        box->setContentText(text);
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        box->setTextCursor(cursor);
    }

    QStringList texts() const
    {
        QStringList result;
        for (const RichEdit *box : boxes)
            result.append(box->toPlainText());
        return result;
    }
};

} // namespace

TEST(EditingCommands, DayBoxesAreTheRichEditChildrenOfThePageInOrder)
{
    Window window;
    const QList<RichEdit *> boxes = dayBoxes(window.page);
    ASSERT_EQ(boxes.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(boxes[i], window.boxes[i]);

    window.boxes[3]->setFocus();
    EXPECT_EQ(focusedDayBox(window.page), window.boxes[3]);
    window.memo->setFocus();
    EXPECT_EQ(focusedDayBox(window.page), nullptr);
}

TEST(EditingCommands, RightClickedBoxTakesTheMarkNotTheOneTheCaretWasIn)
{
    Window window;
    QMenu menu;
    QAction *tick = menu.addAction(QStringLiteral("打V"));
    QObject::connect(tick, &QAction::triggered, [&] { window.commands.tick(); });
    for (RichEdit *box : window.boxes)
        box->setContextMenu(&menu);

    window.boxes[0]->setFocus();
    QTest::keyClicks(window.boxes[0], QStringLiteral("mon"));

    QWidget *viewport = window.boxes[1]->viewport();
    const QPoint pos(5, 5);
    QContextMenuEvent click(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
    QApplication::sendEvent(viewport, &click);
    tick->trigger();
    menu.hide();

    EXPECT_EQ(window.boxes[0]->toPlainText(), QStringLiteral("mon"));
    EXPECT_EQ(window.boxes[1]->toPlainText(), QStringLiteral("\u221A"));
}

TEST(EditingCommands, MarksAndDateStampReplaceTheSelectionAndSurviveUndo)
{
    const QString stamp = QStringLiteral(" 2010.06.01 (二)");
    const QString tick(QChar(0x221A));
    const QString cross(QChar(0x00D7)); // the multiplication sign, not the letter
    const struct {
        const char *command;
        void (EditingCommands::*run)();
        QString inserted;
    } cases[] = {
        {"tick", &EditingCommands::tick, tick},
        {"cross", &EditingCommands::cross, cross},
        {"date", &EditingCommands::stampDate, stamp},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        Window window;
        RichEdit *box = window.boxes[2];
        Window::select(box, QStringLiteral("abcd"), 1, 3);
        (window.commands.*c.run)();
        EXPECT_EQ(box->toPlainText(), u'a' + c.inserted + u'd');
        window.commands.undo();
        EXPECT_EQ(box->toPlainText(), u'a' + c.inserted + u'd');

        // Without a selection: at the caret.
        Window::select(box, QStringLiteral("ab"), 1, 1);
        (window.commands.*c.run)();
        EXPECT_EQ(box->toPlainText(), u'a' + c.inserted + u'b');
        QStringList expected(6, QString());
        expected[2] = box->toPlainText();
        EXPECT_EQ(window.texts(), expected); // no other box touched
    }
}

TEST(EditingCommands, DateStampNamesTheWeekday)
{
    const struct {
        QDate date;
        QString text;
    } cases[] = {
        {QDate(2010, 6, 1), QStringLiteral(" 2010.06.01 (二)")},
        {QDate(2023, 3, 5), QStringLiteral(" 2023.03.05 (日)")},
        {QDate(2024, 1, 1), QStringLiteral(" 2024.01.01 (一)")},
        {QDate(2022, 11, 16), QStringLiteral(" 2022.11.16 (三)")},
        {QDate(2019, 10, 31), QStringLiteral(" 2019.10.31 (四)")},
        {QDate(2020, 2, 14), QStringLiteral(" 2020.02.14 (五)")},
        {QDate(2021, 12, 25), QStringLiteral(" 2021.12.25 (六)")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(dateStampText(c.date), c.text);
    }
    EXPECT_EQ(dateStampText(QDate(2010, 6, 1)).size(), 15);
    EXPECT_EQ(encodeGbk(dateStampText(QDate(2010, 6, 1))).size(), 16);
}

TEST(EditingCommands, DateStampUsesTheClock)
{
    Window window;
    window.clock.at_ = QDateTime(QDate(2023, 3, 5), QTime(23, 59));
    window.boxes[5]->setFocus();
    window.commands.stampDate();
    EXPECT_EQ(window.boxes[5]->toPlainText(), QStringLiteral(" 2023.03.05 (日)"));
}

TEST(EditingCommands, ClipboardDeleteAndUndoActOnTheFocusedBox)
{
    Window window;
    QClipboard *clipboard = QApplication::clipboard();

    Window::select(window.boxes[1], QStringLiteral("hello world"), 6, 11);
    window.commands.copy();
    EXPECT_EQ(clipboard->text(), QStringLiteral("world"));
    window.commands.cut();
    EXPECT_EQ(window.boxes[1]->toPlainText(), QStringLiteral("hello "));

    Window::select(window.boxes[4], QStringLiteral("one two"), 0, 3);
    window.commands.paste();
    EXPECT_EQ(window.boxes[4]->toPlainText(), QStringLiteral("world two"));

    Window::select(window.boxes[4], QStringLiteral("one two"), 3, 7);
    window.commands.deleteSelection();
    EXPECT_EQ(window.boxes[4]->toPlainText(), QStringLiteral("one"));
    window.commands.undo();
    EXPECT_EQ(window.boxes[4]->toPlainText(), QStringLiteral("one two"));
    EXPECT_EQ(window.boxes[1]->toPlainText(), QStringLiteral("hello "));
}

TEST(EditingCommands, NothingHappensWithoutAFocusedDayBox)
{
    for (const char *where : {"memo", "line edit", "nowhere"}) {
        SCOPED_TRACE(where);
        Window window;
        for (RichEdit *box : window.boxes)
            Window::select(box, QStringLiteral("keep"), 0, 4);
        Window::select(window.memo, QStringLiteral("memo"), 0, 4);
        QApplication::clipboard()->setText(QStringLiteral("clip"));
        window.dialogs.colourAnswers = {QColor(Qt::red)};
        if (QStringLiteral("line edit") == QLatin1String(where))
            window.lineEdit->setFocus();
        else if (QStringLiteral("nowhere") == QLatin1String(where))
            window.memo->clearFocus();
        ASSERT_EQ(focusedDayBox(window.page), nullptr);

        EditingCommands &commands = window.commands;
        commands.copy();
        commands.cut();
        commands.paste();
        commands.deleteSelection();
        commands.tick();
        commands.cross();
        commands.stampDate();
        commands.undo();
        commands.chooseColour(&window.widget);

        EXPECT_EQ(window.texts(), QStringList(6, QStringLiteral("keep")));
        EXPECT_EQ(window.memo->toPlainText(), QStringLiteral("memo"));
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("clip"));
        EXPECT_TRUE(window.dialogs.colourDialogsOpenedOn.empty());
        EXPECT_EQ(window.commands.lastColour(), QColor(Qt::black));
        EXPECT_EQ(window.saves, 0);
    }
}

TEST(EditingCommands, ColourDialogStartsOnTheLastConfirmedColour)
{
    Window window;
    RichEdit *box = window.boxes[0];
    window.dialogs.colourAnswers = {QColor(Qt::red), std::nullopt, QColor(Qt::blue)};

    Window::select(box, QStringLiteral("abcd"), 1, 2);
    window.commands.chooseColour(&window.widget);
    Window::select(box, QStringLiteral("abcd"), 2, 3);
    window.commands.chooseColour(&window.widget); // cancelled
    EXPECT_NE(colourAt(*box, 2), QColor(Qt::red));
    window.commands.chooseColour(&window.widget);
    window.commands.chooseColour(&window.widget); // cancelled

    const std::vector<QColor> opened{Qt::black, Qt::red, Qt::red, Qt::blue};
    EXPECT_EQ(window.dialogs.colourDialogsOpenedOn, opened);
    EXPECT_EQ(window.commands.lastColour(), QColor(Qt::blue));
}

TEST(EditingCommands, ColourAppliesToTheSelectionOrTheNextTypedCharacter)
{
    Window window;
    RichEdit *box = window.boxes[3];
    window.dialogs.colourAnswers = {QColor(Qt::red), QColor(Qt::green)};

    Window::select(box, QStringLiteral("abc"), 1, 2);
    window.commands.chooseColour(&window.widget);
    EXPECT_NE(colourAt(*box, 0), QColor(Qt::red));
    EXPECT_EQ(colourAt(*box, 1), QColor(Qt::red));
    EXPECT_NE(colourAt(*box, 2), QColor(Qt::red));

    box->moveCursor(QTextCursor::End);
    window.commands.chooseColour(&window.widget);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("abc"));
    QTest::keyClicks(box, QStringLiteral("d"));
    EXPECT_EQ(colourAt(*box, 3), QColor(Qt::green));
    EXPECT_NE(colourAt(*box, 2), QColor(Qt::green));
}

TEST(EditingCommands, ClearAllEmptiesEveryBoxAndSavesOnce)
{
    Window window;
    for (int i = 0; i < 6; ++i)
        window.boxes[i]->setContentText(QStringLiteral("note %1\nmore").arg(i));
    window.memo->setContentText(QStringLiteral("memo"));
    window.lineEdit->setFocus();

    window.commands.clearWeek();

    EXPECT_EQ(window.texts(), QStringList(6, QString()));
    EXPECT_EQ(window.memo->toPlainText(), QStringLiteral("memo"));
    EXPECT_EQ(window.saves, 1);
}
