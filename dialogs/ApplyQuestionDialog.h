#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tavi {

class Dialogs;
struct ProgramState;

// The question before the wallpaper changes: "您确定要更换壁纸？" with
// "下次不再提示". Created once, so the tick stays from one showing to the next.
class TInforFrm : public QDialog {
    Q_OBJECT
public:
    TInforFrm(ProgramState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    // "确  定": the answer is yes; with the tick, the question is switched off
    // for good (the confirmation file gets "0"). A file that cannot be written
    // is reported and the window stays open.
    void btnokClick();
    void btncancelClick();
    void btnCloseClick();
    void reject() override;

    QCheckBox *dontAskAgain() const { return chkSetBgInfo; }
    QPushButton *okButton() const { return btnok; }
    QPushButton *cancelButton() const { return btncancel; }
    QPushButton *closeButton() const { return btnClose; }
    QLabel *question() const { return lblInfo; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    ProgramState &state_;
    Dialogs &dialogs_;
    QLabel *lblInfo = nullptr;
    QCheckBox *chkSetBgInfo = nullptr;
    QPushButton *btnok = nullptr;
    QPushButton *btncancel = nullptr;
    QPushButton *btnClose = nullptr;
};

} // namespace tavi
