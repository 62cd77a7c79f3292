#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tavi {

class Dialogs;

// The password settings window: turns the login password on or off and sets
// it. Created once; its box and fields keep their state between openings.
class TpwsetFrm : public QDialog {
    Q_OBJECT
public:
    TpwsetFrm(const QString &passwordFile, Dialogs &dialogs, QWidget *parent = nullptr);

    // Opening: line 3 "-1" checks the box; opening never unchecks it.
    void FormShow();
    // "应   用": writes the password (or its absence) after the checks.
    void JvXPButton1Click();
    void JvXPToolButton1Click();

    QCheckBox *enableBox() const { return JCheckbox1; }
    QLineEdit *firstEntry() const { return edit1; }
    QLineEdit *secondEntry() const { return edit2; }
    QPushButton *applyButton() const { return JvXPButton1; }
    QToolButton *closeButton() const { return JvXPToolButton1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString passwordFile_;
    Dialogs &dialogs_;
    QCheckBox *JCheckbox1 = nullptr;
    QLineEdit *edit1 = nullptr;
    QLineEdit *edit2 = nullptr;
    QPushButton *JvXPButton1 = nullptr;
    QToolButton *JvXPToolButton1 = nullptr;
};

} // namespace tavi
