#pragma once

#include "dialogs/SkinnedDialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tavi {

class Dialogs;

// The password settings window: turns the login password on or off and sets
// it. Created once; its box and fields keep their state between openings.
class PasswordDialog : public SkinnedDialog {
    Q_OBJECT
public:
    PasswordDialog(const QString &passwordFile, Dialogs &dialogs, QWidget *parent = nullptr);

    // Opening: line 3 "-1" checks the box; opening never unchecks it.
    void readPasswordState();
    // "应   用": writes the password (or its absence) after the checks.
    void apply();

    QCheckBox *enableBox() const { return enableBox_; }
    QLineEdit *firstEntry() const { return firstEntry_; }
    QLineEdit *secondEntry() const { return secondEntry_; }
    QPushButton *applyButton() const { return applyButton_; }
    QToolButton *closeButton() const { return closeButton_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString passwordFile_;
    Dialogs &dialogs_;
    QCheckBox *enableBox_ = nullptr;
    QLineEdit *firstEntry_ = nullptr;
    QLineEdit *secondEntry_ = nullptr;
    QPushButton *applyButton_ = nullptr;
    QToolButton *closeButton_ = nullptr;
};

} // namespace tavi
