#include "editing/EditingCommands.h"

#include "notes/WeekDayName.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "widgets/RichEdit.h"

#include <QWidget>

namespace tavi {

QList<RichEdit *> dayBoxes(QWidget *weekPage)
{
    QList<RichEdit *> boxes;
    for (QObject *child : weekPage->children()) {
        if (auto *box = qobject_cast<RichEdit *>(child))
            boxes.append(box);
    }
    return boxes;
}

RichEdit *focusedDayBox(QWidget *weekPage)
{
    for (RichEdit *box : dayBoxes(weekPage)) {
        if (box->hasFocus() && !box->isReadOnly())
            return box;
    }
    return nullptr;
}

QString dateStampText(const QDate &date)
{
    return u' ' + date.toString(QStringLiteral("yyyy.MM.dd")) + QStringLiteral(" (") + weekdayNumeral(date.dayOfWeek())
        + u')';
}

EditingCommands::EditingCommands(QWidget *weekPage, const Clock &clock, Dialogs &dialogs,
                                 std::function<void()> saveWeek)
    : weekPage_(weekPage), clock_(clock), dialogs_(dialogs), saveWeek_(std::move(saveWeek))
{
}

void EditingCommands::copy()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->copy();
}

void EditingCommands::paste()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->paste();
}

void EditingCommands::cut()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->cut();
}

void EditingCommands::deleteSelection()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->deleteSelection();
}

void EditingCommands::undo()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->undo();
}

void EditingCommands::tick()
{
    insertMark(QStringLiteral("\u221A"));
}

void EditingCommands::cross()
{
    insertMark(QStringLiteral("\u00D7"));
}

void EditingCommands::stampDate()
{
    insertMark(dateStampText(clock_.today()));
}

void EditingCommands::insertMark(const QString &text)
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->replaceSelection(text);
}

void EditingCommands::chooseColour(QWidget *owner)
{
    RichEdit *box = focusedDayBox(weekPage_);
    if (!box)
        return;
    const std::optional<QColor> colour = dialogs_.chooseColor(owner, lastColour_);
    if (!colour)
        return;
    lastColour_ = *colour;
    box->setSelectionColor(*colour);
}

void EditingCommands::clearWeek()
{
    // One save of the emptied week, not one per box: the week as it was before is kept as a version.
    for (RichEdit *box : dayBoxes(weekPage_)) {
        const QSignalBlocker quiet(box);
        box->setContentText(QString());
    }
    if (saveWeek_)
        saveWeek_();
}

} // namespace tavi
