#include "formats/RtfReader.h"
#include "widgets/RichEdit.h"
#include "tests/support/TextColour.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace tavi;
using tavi::test::colourAt;

namespace {

// A shown, active window with two boxes and a line edit, so focus moves for real.
struct Window {
    QWidget widget;
    RichEdit *first = new RichEdit(&widget);
    RichEdit *second = new RichEdit(&widget);
    QLineEdit *other = new QLineEdit(&widget);

    Window()
    {
        auto *layout = new QVBoxLayout(&widget);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(other);
        widget.show();
        QApplication::setActiveWindow(&widget);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&widget));
    }
};

} // namespace

TEST(RichEdit, LoadingAndSettingTextRaiseOneChangeEventBeforeReturning)
{
    RichEdit box;
    QSignalSpy changes(&box, &RichEdit::changed);
    box.setRichText(readRtf("{\\rtf1 hello\\par}"));
    EXPECT_EQ(changes.count(), 1);
    changes.clear();
    box.setContentText(QString());
    EXPECT_EQ(changes.count(), 1);
}

TEST(RichEdit, EveryTypedCharacterAndColourChangeIsReported)
{
    Window window;
    window.first->setFocus();
    QSignalSpy changes(window.first, &RichEdit::changed);
    QTest::keyClicks(window.first, QStringLiteral("abc"));
    EXPECT_EQ(changes.count(), 3);
    window.first->selectAll();
    changes.clear();
    window.first->setSelectionColor(Qt::red);
    EXPECT_GE(changes.count(), 1);
}

TEST(RichEdit, PlainTextUsesCrLfForParagraphAndLineBreaks)
{
    RichEdit box;
    box.setContentText(QStringLiteral("a\nb\r\nc") + QChar(0x2028) + QStringLiteral("d"));
    EXPECT_EQ(box.plainTextCrLf(), QStringLiteral("a\r\nb\r\nc\r\nd"));
}

TEST(RichEdit, ReplacedSelectionCannotBeUndone)
{
    Window window;
    RichEdit *box = window.first;
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("ab"));
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(1);
    box->setTextCursor(cursor);
    box->replaceSelection(QStringLiteral("√"));
    box->undo();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("a√b"));

    cursor.setPosition(0);
    cursor.setPosition(1, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    box->replaceSelection(QStringLiteral("×"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("×√b"));
    // Editing and undo still work afterwards.
    QTest::keyClicks(box, QStringLiteral("z"));
    box->undo();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("×√b"));
}

TEST(RichEdit, SelectionColourAppliesToTheSelectionOrTheInsertionPoint)
{
    Window window;
    RichEdit *box = window.first;
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("abc"));
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    box->setSelectionColor(QColor(Qt::red));
    EXPECT_NE(colourAt(*box, 0), QColor(Qt::red));
    EXPECT_EQ(colourAt(*box, 1), QColor(Qt::red));
    EXPECT_NE(colourAt(*box, 2), QColor(Qt::red));

    box->moveCursor(QTextCursor::End);
    box->setSelectionColor(QColor(Qt::blue));
    QTest::keyClicks(box, QStringLiteral("d"));
    EXPECT_EQ(colourAt(*box, 3), QColor(Qt::blue));
    EXPECT_NE(colourAt(*box, 2), QColor(Qt::blue));
}

TEST(RichEdit, FocusLostOnlyWhenAnotherControlTakesTheFocus)
{
    Window window;
    window.first->setFocus();
    QSignalSpy lost(window.first, &RichEdit::focusLost);
    window.second->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(lost.count(), 1);
    window.first->setFocus();
    window.other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(lost.count(), 2);

    // A popup menu takes the focus for a moment without it leaving the box.
    QSignalSpy secondLost(window.second, &RichEdit::focusLost);
    window.second->setFocus();
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(window.second, &popup);
    EXPECT_EQ(secondLost.count(), 0);
}

TEST(RichEdit, ContextMenuTakesTheFocusFirst)
{
    Window window;
    QMenu menu;
    menu.addAction(QStringLiteral("复制"));
    window.second->setContextMenu(&menu);
    window.first->setFocus();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), window.second->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(window.second->viewport(), &event); // where a right click lands
    EXPECT_TRUE(menu.isVisible());
    menu.close();
    EXPECT_TRUE(window.second->hasFocus());
}

TEST(RichEdit, ClipboardCommands)
{
    Window window;
    RichEdit *box = window.first;
    box->setFocus();
    box->setContentText(QStringLiteral("周一计划"));
    box->selectAll();
    box->cut();
    EXPECT_EQ(box->toPlainText(), QString());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("周一计划"));
    box->paste();
    box->paste();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("周一计划周一计划"));
    box->selectAll();
    box->deleteSelection();
    EXPECT_EQ(box->toPlainText(), QString());
    box->undo();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("周一计划周一计划"));
}

TEST(RichEdit, FormatsSurviveWritingAndReadingRtf)
{
    RtfDocument doc;
    RtfCharFormat plain;
    RtfCharFormat red;
    red.color = QColor(255, 0, 0);
    red.bold = true;
    RtfCharFormat blue;
    blue.color = QColor(0, 0, 255);
    blue.italic = true;
    blue.underline = true;
    blue.halfPoints = 24;
    blue.fontName = QStringLiteral("黑体");
    doc.append(QStringLiteral("周一 "), plain);
    doc.append(QStringLiteral("开会\n"), red);
    doc.append(QStringLiteral("报告\U0001F4A9"), blue);

    RichEdit first;
    first.setFont(QFont(QStringLiteral("宋体"), 9));
    first.setRichText(doc);
    RichEdit second;
    second.setFont(first.font());
    second.setRichText(readRtf(first.rtf()));
    const RtfDocument back = second.richText();
    ASSERT_EQ(back.plainText(), doc.plainText());
    ASSERT_EQ(back.runs.size(), 3u);
    EXPECT_EQ(back.runs[1].format.color, red.color);
    EXPECT_TRUE(back.runs[1].format.bold);
    EXPECT_EQ(back.runs[2].format, (RtfCharFormat{blue.color, false, true, true, 24, QStringLiteral("黑体")}));
    EXPECT_EQ(back.runs[0].format.fontName, QStringLiteral("宋体"));
    EXPECT_EQ(back.runs[0].format.halfPoints, 18);
    EXPECT_EQ(second.rtf(), first.rtf());
}

TEST(RichEdit, RtfFollowsEveryChangeOfTextFormatAndFont)
{
    Window window;
    RichEdit *box = window.first;
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("ab"));
    const QByteArray typed = box->rtf();
    EXPECT_EQ(box->rtf(), typed);

    box->selectAll();
    box->setSelectionColor(Qt::red);
    const QByteArray coloured = box->rtf();
    EXPECT_NE(coloured, typed);
    EXPECT_TRUE(coloured.contains("\\red255\\green0\\blue0"));

    box->setFont(QFont(QStringLiteral("Arial"), 20));
    EXPECT_NE(box->rtf(), coloured);
    box->undo(); // the colour goes again
    EXPECT_FALSE(box->rtf().contains("\\colortbl"));

    box->setContentText(QStringLiteral("new"));
    RichEdit check;
    check.setRichText(readRtf(box->rtf()));
    EXPECT_EQ(check.toPlainText(), QStringLiteral("new"));
}
