#include "dialogs/ApplyQuestionDialog.h"

#include "platform/Dialogs.h"
#include "formats/LineFile.h"
#include "platform/ProgramState.h"
#include "widgets/WindowMove.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace tavi {

TInforFrm::TInforFrm(ProgramState &state, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), state_(state), dialogs_(dialogs)
{
    setFixedSize(344, 156);
    setModal(true);

    // The white face with its thin blue-grey border; pressing on it moves the window.
    auto *shpBG = new QLabel(this);
    shpBG->setGeometry(rect());
    shpBG->setStyleSheet(QStringLiteral("background: white; border: 1px solid rgb(216, 227, 243);"));
    new WindowMove(shpBG);

    auto *imgques = new QLabel(QStringLiteral("?"), this);
    imgques->setGeometry(24, 40, 45, 46);
    imgques->setAlignment(Qt::AlignCenter);
    imgques->setStyleSheet(QStringLiteral("color: white; background: rgb(91, 127, 181); border-radius: 22px;"
                                          "font: bold 30px;"));

    lblInfo = new QLabel(QStringLiteral("您确定要更换壁纸？"), this);
    QFont question(QStringLiteral("宋体"));
    question.setPixelSize(14);
    question.setBold(true);
    lblInfo->setFont(question);
    lblInfo->move(86, 48);
    lblInfo->adjustSize();

    chkSetBgInfo = new QCheckBox(QStringLiteral("下次不再提示"), this);
    chkSetBgInfo->move(86, 78);
    chkSetBgInfo->adjustSize();

    btnok = new QPushButton(QStringLiteral("确  定"), this);
    btnok->setGeometry(176, 118, 70, 24);
    btncancel = new QPushButton(QStringLiteral("取  消"), this);
    btncancel->setGeometry(256, 118, 70, 24);
    btnClose = new QPushButton(QStringLiteral("X"), this);
    QFont arial(QStringLiteral("Arial"));
    arial.setBold(true);
    btnClose->setFont(arial);
    btnClose->setFlat(true);
    btnClose->setGeometry(width() - 24, 2, 22, 20);
    for (QPushButton *button : {btnok, btncancel, btnClose})
        button->setAutoDefault(false);

    connect(btnok, &QPushButton::clicked, this, [this] { runReportingErrors(dialogs_, this, [this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &TInforFrm::btncancelClick);
    connect(btnClose, &QPushButton::clicked, this, &TInforFrm::btnCloseClick);
}

void TInforFrm::showEvent(QShowEvent *event)
{
    // Each showing asks afresh: only OK answers yes.
    state_.SetBgConfirmed = 0;
    centreOver(this, parentWidget());
    QDialog::showEvent(event);
}

void TInforFrm::btnokClick()
{
    if (chkSetBgInfo->isChecked()) {
        state_.AskBeforeSetBg = false;
        state_.SetBgConfirmed = 1;
        writeLineFile(state_.ConfigSetBgPath, {QStringLiteral("0")}); // throws: the window stays open
    } else {
        state_.SetBgConfirmed = 1;
    }
    accept();
}

void TInforFrm::btncancelClick()
{
    reject();
}

void TInforFrm::reject()
{
    // Escape and closing the window end here too: all of them are a cancel.
    state_.SetBgConfirmed = 0;
    QDialog::reject();
}

void TInforFrm::btnCloseClick()
{
    reject();
}

} // namespace tavi
