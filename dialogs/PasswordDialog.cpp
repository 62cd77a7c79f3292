#include "dialogs/PasswordDialog.h"

#include "dialogs/PasswordField.h"
#include "login/PasswordFile.h"
#include "platform/Dialogs.h"
#include "formats/LineFile.h"
#include "widgets/Skin.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace tavi {

PasswordDialog::PasswordDialog(const QString &passwordFile, Dialogs &dialogs, QWidget *parent)
    : SkinnedDialog(QSize(442, 222), parent), passwordFile_(passwordFile), dialogs_(dialogs)
{
    // Frame and body, and the title strip with a small icon before the title.
    addFace(QStringLiteral("background: white; border: 1px solid rgb(216, 227, 243);"));
    addTitleStrip(30);
    auto *icon = new QLabel(this);
    icon->setPixmap(programLogo(QSize(26, 26)));
    icon->setGeometry(6, 2, 26, 26);
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *title = new QLabel(QStringLiteral("登录密码设置"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->move(38, 8);
    title->adjustSize();

    closeButton_ = new QToolButton(this);
    closeButton_->setText(QStringLiteral("×"));
    closeButton_->setToolTip(QStringLiteral("关闭"));
    closeButton_->setAutoRaise(true);
    closeButton_->setGeometry(width() - 28, 4, 24, 22);
    connect(closeButton_, &QToolButton::clicked, this, &PasswordDialog::reject);

    enableBox_ = new QCheckBox(QStringLiteral("启动登录密码"), this);
    enableBox_->move(60, 52);
    auto *first = new QLabel(QStringLiteral("请输入登录密码："), this);
    first->move(60, 92);
    first->adjustSize();
    firstEntry_ = newPasswordField(this);
    firstEntry_->setGeometry(180, 88, 190, 22);
    auto *second = new QLabel(QStringLiteral("请再次输入密码："), this);
    second->move(60, 130);
    second->adjustSize();
    secondEntry_ = newPasswordField(this);
    secondEntry_->setGeometry(180, 126, 190, 22);

    applyButton_ = new QPushButton(QStringLiteral("应   用"), this);
    applyButton_->setAutoDefault(false);
    applyButton_->setGeometry(300, 176, 70, 26);
    connect(applyButton_, &QPushButton::clicked, this, [this] { runReportingErrors(dialogs_, this, [this] { apply(); }); });
}

void PasswordDialog::showEvent(QShowEvent *event)
{
    SkinnedDialog::showEvent(event);
    runReportingErrors(dialogs_, this, [this] { readPasswordState(); }); // the window opens whatever happens
}

void PasswordDialog::readPasswordState()
{
    const std::optional<QStringList> lines = readPasswordFile(passwordFile_);
    if (!lines)
        throw FileError(QStringLiteral("找不到文件 %1").arg(passwordFile_).toStdString());
    if (lines->size() < 3)
        throw FileError(QStringLiteral("文件 %1 不完整").arg(passwordFile_).toStdString());
    if (lines->at(2) == QLatin1String("-1"))
        enableBox_->setChecked(true);
}

void PasswordDialog::apply()
{
    if (!enableBox_->isChecked()) {
        writeNoPassword(passwordFile_);
        dialogs_.showMessageBox(this, QStringLiteral("提示"), QStringLiteral("取消密码成功!"));
        accept();
        return;
    }
    if (!firstEntry_->text().isEmpty() && !secondEntry_->text().isEmpty()) {
        if (firstEntry_->text() != secondEntry_->text()) {
            dialogs_.showMessage(this, QStringLiteral("两次输入的密码不一致!"));
            return;
        }
        writePassword(passwordFile_, firstEntry_->text(), secondEntry_->text());
        dialogs_.showMessageBox(this, QStringLiteral("提示"), QStringLiteral("设置登录密码成功!"));
        accept();
    } else if (!firstEntry_->text().isEmpty()) {
        dialogs_.showMessage(this, QStringLiteral("请再次输入登录密码!"));
        secondEntry_->setFocus();
    } else {
        dialogs_.showMessage(this, QStringLiteral("请输入登录密码!"));
        firstEntry_->setFocus();
    }
}

} // namespace tavi
