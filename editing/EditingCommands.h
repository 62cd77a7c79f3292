#pragma once

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace tavi {

class Clock;
class Dialogs;
class RichEdit;

// The day boxes of the week page: its direct children that are day boxes, in
// child order (Monday first). Labels, frames and the like are passed over.
QList<RichEdit *> dayBoxes(QWidget *weekPage);

// The day box holding the keyboard focus, or nullptr when the focus is
// elsewhere (another control, the memo box) or nowhere, or the box is
// read-only (its week could not be read).
RichEdit *focusedDayBox(QWidget *weekPage);

// " yyyy.MM.dd (d)" with the weekday as its Chinese numeral, Sunday "日".
QString dateStampText(const QDate &date);

// The editing commands of the menus and buttons. Each acts on the day box
// that has the focus and does nothing, silently, when none has it.
class EditingCommands {
public:
    EditingCommands(QWidget *weekPage, const Clock &clock, Dialogs &dialogs, std::function<void()> saveWeek);

    void copy();
    void paste(); // over the selection
    void cut();
    void deleteSelection();
    void undo();

    // The tick mark; the menu item and the button do the same.
    void tick();
    // The cross mark (the multiplication sign, not the letter).
    void cross();
    // Today's date stamp at the caret.
    void stampDate();

    // Asks for a text colour, starting on the last one chosen this run.
    void chooseColour(QWidget *owner);
    QColor lastColour() const { return lastColour_; }

    // Empties all six boxes, whichever has the focus, and saves the week.
    void clearWeek();

private:
    // Marks and stamps are no edit to undo: undo must not take them out again.
    void insertMark(const QString &text);

    QWidget *weekPage_;
    const Clock &clock_;
    Dialogs &dialogs_;
    std::function<void()> saveWeek_;
    QColor lastColour_ = Qt::black;
};

} // namespace tavi
