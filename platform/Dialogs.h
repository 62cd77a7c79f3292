#pragma once

#include <QString>

class QWidget;

namespace tavi {

// Every modal message the program shows goes through here, so that tests can
// script the answers and see what was said.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The ordinary message dialog: the application title as caption, the
    // text, one OK button and no icon.
    virtual void showMessage(QWidget *owner, const QString &text) = 0;
    // The message box: the caller's caption, one OK button and no icon.
    virtual void showMessageBox(QWidget *owner, const QString &caption, const QString &text) = 0;
    // The general error report: the application title as caption, the
    // error's text (see errorReportText()), one OK button and the error icon.
    virtual void showError(QWidget *owner, const QString &text) = 0;
};

// The error report's text: a full stop is appended when the last character
// sorts after the full stop.
QString errorReportText(const QString &message);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(const QString &applicationTitle) : applicationTitle_(applicationTitle) {}

    void showMessage(QWidget *owner, const QString &text) override;
    void showMessageBox(QWidget *owner, const QString &caption, const QString &text) override;
    void showError(QWidget *owner, const QString &text) override;

private:
    QString applicationTitle_;
};

} // namespace tavi
