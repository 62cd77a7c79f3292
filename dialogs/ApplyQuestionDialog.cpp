#include "dialogs/ApplyQuestionDialog.h"

#include "formats/LineFile.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace tavi {

ApplyQuestionDialog::ApplyQuestionDialog(const QString &confirmationFile, Dialogs &dialogs, QWidget *parent)
    : SkinnedDialog(QSize(344, 156), parent), confirmationFile_(confirmationFile), dialogs_(dialogs)
{
    // The white face with its thin blue-grey border.
    addFace(QStringLiteral("background: white; border: 1px solid rgb(216, 227, 243);"));

    auto *mark = new QLabel(QStringLiteral("?"), this);
    mark->setGeometry(24, 40, 45, 46);
    mark->setAlignment(Qt::AlignCenter);
    mark->setStyleSheet(QStringLiteral("color: white; background: rgb(91, 127, 181); border-radius: 22px;"
                                       "font: bold 30px;"));

    question_ = new QLabel(QStringLiteral("您确定要更换壁纸？"), this);
    QFont bold(QStringLiteral("宋体"));
    bold.setPixelSize(14);
    bold.setBold(true);
    question_->setFont(bold);
    question_->move(86, 48);
    question_->adjustSize();

    dontAskAgain_ = new QCheckBox(QStringLiteral("下次不再提示"), this);
    dontAskAgain_->move(86, 78);
    dontAskAgain_->adjustSize();

    okButton_ = new QPushButton(QStringLiteral("确  定"), this);
    okButton_->setGeometry(176, 118, 70, 24);
    cancelButton_ = new QPushButton(QStringLiteral("取  消"), this);
    cancelButton_->setGeometry(256, 118, 70, 24);
    closeButton_ = new QPushButton(QStringLiteral("X"), this);
    QFont arial(QStringLiteral("Arial"));
    arial.setBold(true);
    closeButton_->setFont(arial);
    closeButton_->setFlat(true);
    closeButton_->setGeometry(width() - 24, 2, 22, 20);
    for (QPushButton *button : {okButton_, cancelButton_, closeButton_})
        button->setAutoDefault(false);

    connect(okButton_, &QPushButton::clicked, this, [this] { runReportingErrors(dialogs_, this, [this] { confirm(); }); });
    connect(cancelButton_, &QPushButton::clicked, this, &ApplyQuestionDialog::reject);
    connect(closeButton_, &QPushButton::clicked, this, &ApplyQuestionDialog::reject);
}

ApplyQuestionDialog::Answer ApplyQuestionDialog::ask()
{
    // Each showing asks afresh: only OK answers yes.
    answer_ = {};
    dialogs_.runModal(this);
    return answer_;
}

void ApplyQuestionDialog::confirm()
{
    answer_.apply = true;
    if (dontAskAgain_->isChecked()) {
        answer_.stopAsking = true;
        writeLineFile(confirmationFile_, {QStringLiteral("0")}); // throws: the window stays open
    }
    accept();
}

void ApplyQuestionDialog::reject()
{
    answer_.apply = false;
    QDialog::reject();
}

} // namespace tavi
