#pragma once

#include "dialogs/SkinnedDialog.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tavi {

class Dialogs;

// The question before the wallpaper changes: "您确定要更换壁纸？" with
// "下次不再提示". Created once, so the tick stays from one showing to the next.
class ApplyQuestionDialog : public SkinnedDialog {
    Q_OBJECT
public:
    // confirmationFile: configSetBg.ini, which gets "0" when the question is switched off.
    ApplyQuestionDialog(const QString &confirmationFile, Dialogs &dialogs, QWidget *parent = nullptr);

    struct Answer {
        bool apply = false;      // OK; Cancel, X, Escape and any other close say no
        bool stopAsking = false; // OK with the tick: not asked again
    };
    // Shows the question modally and gives the answer.
    Answer ask();

    // "确  定": yes; with the tick, the question is switched off for good (the
    // confirmation file gets "0"). A file that cannot be written is reported
    // and the window stays open.
    void confirm();
    // Cancel, the close button, Escape and any other close.
    void reject() override;

    QCheckBox *dontAskAgain() const { return dontAskAgain_; }
    QPushButton *okButton() const { return okButton_; }
    QPushButton *cancelButton() const { return cancelButton_; }
    QPushButton *closeButton() const { return closeButton_; }
    QLabel *question() const { return question_; }

private:
    QString confirmationFile_;
    Dialogs &dialogs_;
    Answer answer_;
    QLabel *question_ = nullptr;
    QCheckBox *dontAskAgain_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QPushButton *closeButton_ = nullptr;
};

} // namespace tavi
