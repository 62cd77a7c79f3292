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

void EditingCommands::N1Click()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->copy();
}

void EditingCommands::N2Click()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->paste();
}

void EditingCommands::N3Click()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->cut();
}

void EditingCommands::N9Click()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->deleteSelection();
}

void EditingCommands::CtrlZ1Click()
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->undo();
}

void EditingCommands::V1Click()
{
    insertMark(QStringLiteral("\u221A"));
}

void EditingCommands::X1Click()
{
    insertMark(QStringLiteral("\u00D7"));
}

void EditingCommands::imgDateClick()
{
    insertMark(dateStampText(clock_.today()));
}

void EditingCommands::insertMark(const QString &text)
{
    if (RichEdit *box = focusedDayBox(weekPage_))
        box->replaceSelection(text);
}

void EditingCommands::imgRedColorClick(QWidget *owner)
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

void EditingCommands::btnClearRdtClick()
{
    for (RichEdit *box : dayBoxes(weekPage_))
        box->setContentText(QString());
    if (saveWeek_)
        saveWeek_();
}

} // namespace tavi
