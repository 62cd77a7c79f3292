#include "widgets/QtDialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>

#include <exception>

namespace tavi {
namespace {

void showModal(QWidget *owner, QMessageBox::Icon icon, const QString &caption, const QString &text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

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

void QtDialogs::showNotice(QWidget *owner, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Information, applicationTitle_, text, QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse); // the command can be copied
    box->show();
}

bool QtDialogs::askYesNo(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Question, applicationTitle_, text, QMessageBox::NoButton, owner);
    QPushButton *yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QColor> QtDialogs::chooseColor(QWidget *owner, const QColor &initial)
{
    // Qt's chooser always shows the custom colours: it is "fully open" by design.
    QColorDialog dialog(initial, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<QString> QtDialogs::saveFileName(QWidget *owner, const QString &filter, const QString &proposedName)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The description alone: the bracketed patterns are for the dialog, not the reader.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(dialogNameFilter(filter));
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
    // The description alone: the bracketed patterns are for the dialog, not the reader.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(dialogNameFilter(filter));
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

void QtDialogs::showPage(QWidget *owner, const QString &caption, const QString &html)
{
    if (!pageWindow_) {
        pageWindow_ = new QTextBrowser(owner);
        pageWindow_->setWindowFlags(Qt::Window);
        pageWindow_->setAttribute(Qt::WA_DeleteOnClose);
        pageWindow_->setOpenLinks(false); // nothing is loaded from elsewhere
        pageWindow_->resize(600, 640);
    }
    pageWindow_->setWindowTitle(caption);
    pageWindow_->setHtml(html);
    pageWindow_->show();
    pageWindow_->raise();
    pageWindow_->activateWindow();
}

} // namespace tavi
