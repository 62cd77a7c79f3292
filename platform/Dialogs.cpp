#include "platform/Dialogs.h"

#include <QMessageBox>

namespace tavi {
namespace {

void showModal(QWidget *owner, QMessageBox::Icon icon, const QString &caption, const QString &text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

QString errorReportText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

void QtDialogs::showMessage(QWidget *owner, const QString &text)
{
    showModal(owner, QMessageBox::NoIcon, applicationTitle_, text);
}

void QtDialogs::showMessageBox(QWidget *owner, const QString &caption, const QString &text)
{
    showModal(owner, QMessageBox::NoIcon, caption, text);
}

void QtDialogs::showError(QWidget *owner, const QString &text)
{
    showModal(owner, QMessageBox::Critical, applicationTitle_, errorReportText(text));
}

} // namespace tavi
