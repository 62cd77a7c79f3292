#pragma once

#include "dialogs/SkinnedDialog.h"

#include <functional>

class QLineEdit;
class QPushButton;

namespace tavi {

class Dialogs;

// The login window: asks for the password before the program can be used.
class LoginDialog : public SkinnedDialog {
    Q_OBJECT
public:
    // endProgram: asks the program to end (Cancel, or the password file gone).
    LoginDialog(const QString &passwordFile, Dialogs &dialogs, std::function<void()> endProgram,
                QWidget *parent = nullptr);

    // Shows the window modally; true when the password was accepted.
    bool ask();

    // "确定" and Enter: checks the typed password against the file (read afresh each time).
    void confirm();
    // "取消": the program ends.
    void cancel();
    bool passed() const { return passed_; }

    QLineEdit *passwordField() const { return passwordField_; }
    QPushButton *okButton() const { return okButton_; }
    QPushButton *cancelButton() const { return cancelButton_; }
    QPushButton *forgotButton() const { return forgotButton_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString passwordFile_;
    Dialogs &dialogs_;
    std::function<void()> endProgram_;
    bool passed_ = false;
    QLineEdit *passwordField_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QPushButton *forgotButton_ = nullptr;
};

} // namespace tavi
