#include "dialogs/LoginDialog.h"

#include "dialogs/PasswordField.h"
#include "login/PasswordFile.h"
#include "platform/Dialogs.h"
#include "widgets/Skin.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavi {

LoginDialog::LoginDialog(const QString &passwordFile, Dialogs &dialogs, std::function<void()> endProgram,
                         QWidget *parent)
    : SkinnedDialog(QSize(246, 145), parent), passwordFile_(passwordFile), dialogs_(dialogs),
      endProgram_(std::move(endProgram))
{
    // The face behind the fields, and the title strip with the logo.
    addFace(QStringLiteral("background: rgb(238, 243, 250); border: 1px solid rgb(216, 227, 243);"));
    addTitleStrip(22)->setPixmap(programLogo(QSize(110, 22)));

    auto *user = new QLabel(QStringLiteral("用户名：Tavi周记事本"), this);
    user->move(24, 32);
    user->adjustSize();
    auto *password = new QLabel(QStringLiteral("密  码："), this);
    password->move(24, 62);
    password->adjustSize();
    passwordField_ = newPasswordField(this);
    passwordField_->setGeometry(80, 58, 140, 22);
    connect(passwordField_, &QLineEdit::returnPressed, this, &LoginDialog::confirm);

    okButton_ = new QPushButton(QStringLiteral("确定"), this);
    cancelButton_ = new QPushButton(QStringLiteral("取消"), this);
    forgotButton_ = new QPushButton(QStringLiteral("忘记密码"), this);
    placeButtonRow({okButton_, cancelButton_, forgotButton_}, QPoint(24, 104), QSize(62, 24), 68);
    for (QPushButton *button : {okButton_, cancelButton_, forgotButton_})
        button->setFocusPolicy(Qt::NoFocus); // the password field is the only control that takes the focus
    connect(okButton_, &QPushButton::clicked, this, &LoginDialog::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &LoginDialog::cancel);
}

bool LoginDialog::ask()
{
    passed_ = false;
    dialogs_.runModal(this);
    return passed_;
}

void LoginDialog::showEvent(QShowEvent *event)
{
    SkinnedDialog::showEvent(event);
    passwordField_->setFocus();
}

void LoginDialog::confirm()
{
    std::optional<QStringList> lines;
    try {
        lines = readPasswordFile(passwordFile_);
    } catch (const std::exception &) {
    }
    if (!lines || lines->isEmpty()) {
        // The file vanished while the window was open: the program ends.
        endProgram_();
        reject();
        return;
    }
    if (lines->first() == QLatin1String(kNoPasswordSentinel)) {
        passed_ = true;
        return;
    }
    if (!passwordMatches(passwordField_->text(), lines->first())) {
        dialogs_.showMessageBox(this, QStringLiteral("登陆提示"), QStringLiteral("密码不正确,请重新输入登录密码!"));
        passwordField_->clear();
        passwordField_->setFocus();
        return;
    }
    passed_ = true;
    accept();
}

void LoginDialog::cancel()
{
    passed_ = false;
    reject();
    endProgram_();
}

} // namespace tavi
