#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavi {

class Dialogs;
struct ProgramState;

// The login window: asks for the password before the program can be used.
class TLockLogin : public QDialog {
    Q_OBJECT
public:
    TLockLogin(const QString &passwordFile, ProgramState &state, Dialogs &dialogs, std::function<void()> endProgram,
               QWidget *parent = nullptr);

    // Checks the typed password against the file (read afresh each time).
    void spdOKClick();
    void spdCancelClick();

    QLineEdit *passwordField() const { return edtPW; }
    QPushButton *okButton() const { return spdOK; }
    QPushButton *cancelButton() const { return spdCancel; }
    QPushButton *forgotButton() const { return btn1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString passwordFile_;
    ProgramState &state_;
    Dialogs &dialogs_;
    std::function<void()> endProgram_;
    QLineEdit *edtPW = nullptr;
    QPushButton *spdOK = nullptr;
    QPushButton *spdCancel = nullptr;
    QPushButton *btn1 = nullptr;
};

} // namespace tavi
