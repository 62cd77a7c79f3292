#include "platform/Dialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

#include <exception>

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

void runReportingErrors(Dialogs &dialogs, QWidget *owner, const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &error) {
        dialogs.showError(owner, QString::fromUtf8(error.what()));
    }
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

std::optional<QColor> QtDialogs::chooseColor(QWidget *owner, const QColor &initial)
{
    // Qt's chooser always shows the custom colours: it is "fully open" by design.
    QColorDialog dialog(initial, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

// "description|patterns" as Qt's "description (patterns)", patterns separated by blanks.
static QString qtNameFilter(const QString &filter)
{
    const QString description = filter.section(u'|', 0, 0);
    QString patterns = filter.section(u'|', 1, 1);
    patterns.replace(u';', u' ');
    return QStringLiteral("%1 (%2)").arg(description, patterns.simplified().isEmpty() ? description : patterns.simplified());
}

std::optional<QString> QtDialogs::saveFileName(QWidget *owner, const QString &filter, const QString &proposedName)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(qtNameFilter(filter));
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

std::optional<QString> QtDialogs::openFileName(QWidget *owner, const QString &filter)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name need not exist
    dialog.setNameFilter(qtNameFilter(filter));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

void QtDialogs::runModal(QDialog *window)
{
    window->exec();
}

void QtDialogs::openUrl(const QUrl &page)
{
    QDesktopServices::openUrl(page); // xdg-open: the user's browser
}

} // namespace tavi
