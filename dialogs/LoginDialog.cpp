#include "dialogs/LoginDialog.h"

#include "dialogs/PasswordField.h"
#include "login/PasswordFile.h"
#include "platform/Dialogs.h"
#include "platform/ProgramState.h"
#include "widgets/Skin.h"
#include "widgets/WindowMove.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace tavi {

TLockLogin::TLockLogin(const QString &passwordFile, ProgramState &state, Dialogs &dialogs,
                       std::function<void()> endProgram, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), passwordFile_(passwordFile), state_(state),
      dialogs_(dialogs), endProgram_(std::move(endProgram))
{
    state_.LoginPassed = false;
    setFixedSize(246, 145);
    setModal(true);

    auto *Panel2 = new QLabel(this); // the face behind the fields; pressing on it moves the window
    Panel2->setGeometry(rect());
    Panel2->setStyleSheet(QStringLiteral("background: rgb(238, 243, 250); border: 1px solid rgb(216, 227, 243);"));
    new WindowMove(Panel2);
    auto *Image1 = new QLabel(this); // the title strip with the logo
    Image1->setGeometry(1, 1, width() - 2, 22);
    Image1->setStyleSheet(QStringLiteral("background: rgb(216, 227, 243);"));
    Image1->setPixmap(programLogo(QSize(110, 22)));
    new WindowMove(Image1);

    auto *Label1 = new QLabel(QStringLiteral("用户名：Tavi周记事本"), this);
    Label1->move(24, 32);
    Label1->adjustSize();
    auto *Label2 = new QLabel(QStringLiteral("密  码："), this);
    Label2->move(24, 62);
    Label2->adjustSize();
    edtPW = newPasswordField(this);
    edtPW->setGeometry(80, 58, 140, 22);
    connect(edtPW, &QLineEdit::returnPressed, this, &TLockLogin::spdOKClick);

    spdOK = new QPushButton(QStringLiteral("确定"), this);
    spdCancel = new QPushButton(QStringLiteral("取消"), this);
    btn1 = new QPushButton(QStringLiteral("忘记密码"), this);
    int left = 24;
    for (QPushButton *button : {spdOK, spdCancel, btn1}) {
        button->setFlat(true);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus); // the password field is the only control that takes the focus
        button->setGeometry(left, 104, 62, 24);
        left += 68;
    }
    connect(spdOK, &QPushButton::clicked, this, &TLockLogin::spdOKClick);
    connect(spdCancel, &QPushButton::clicked, this, &TLockLogin::spdCancelClick);
}

void TLockLogin::showEvent(QShowEvent *event)
{
    // Centred on the desktop: the main window is not shown yet.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    QDialog::showEvent(event);
    edtPW->setFocus();
}

void TLockLogin::spdOKClick()
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
        state_.LoginPassed = true;
        return;
    }
    if (!passwordMatches(edtPW->text(), lines->first())) {
        dialogs_.showMessageBox(this, QStringLiteral("登陆提示"), QStringLiteral("密码不正确,请重新输入登录密码!"));
        edtPW->clear();
        edtPW->setFocus();
        return;
    }
    state_.LoginPassed = true;
    accept();
}

void TLockLogin::spdCancelClick()
{
    state_.LoginPassed = false;
    reject();
    endProgram_();
}

} // namespace tavi
