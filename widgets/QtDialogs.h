#pragma once

#include "platform/Dialogs.h"

#include <QPointer>

class QTextBrowser;

namespace tavi {

// The real dialogs and message boxes, Qt's own.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(const QString &applicationTitle) : applicationTitle_(applicationTitle) {}

    void showMessage(QWidget *owner, const QString &text) override;
    void showMessageBox(QWidget *owner, const QString &caption, const QString &text) override;
    void showError(QWidget *owner, const QString &text) override;
    void showNotice(QWidget *owner, const QString &text) override;
    bool askYesNo(QWidget *owner, const QString &text) override;
    std::optional<QColor> chooseColor(QWidget *owner, const QColor &initial) override;
    std::optional<QString> saveFileName(QWidget *owner, const QString &filter, const QString &proposedName) override;
    std::optional<QString> openFileName(QWidget *owner, const QString &filter) override;
    void runModal(QDialog *window) override;
    void openUrl(const QUrl &page) override;
    void showPage(QWidget *owner, const QString &caption, const QString &html) override;

private:
    QString applicationTitle_;
    QPointer<QTextBrowser> pageWindow_; // gone when its owner or the user closed it
};

} // namespace tavi
