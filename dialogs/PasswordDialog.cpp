#include "dialogs/PasswordDialog.h"

#include "dialogs/PasswordField.h"
#include "login/PasswordFile.h"
#include "platform/Dialogs.h"
#include "formats/LineFile.h"
#include "widgets/Skin.h"
#include "widgets/WindowMove.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace tavi {

TpwsetFrm::TpwsetFrm(const QString &passwordFile, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), passwordFile_(passwordFile), dialogs_(dialogs)
{
    setFixedSize(442, 222);
    setModal(true);

    auto *Shape1 = new QLabel(this); // frame and body; pressing on it moves the window
    Shape1->setGeometry(rect());
    Shape1->setStyleSheet(QStringLiteral("background: white; border: 1px solid rgb(216, 227, 243);"));
    new WindowMove(Shape1);
    auto *Image1 = new QLabel(this); // the title strip
    Image1->setGeometry(1, 1, width() - 2, 30);
    Image1->setStyleSheet(QStringLiteral("background: rgb(216, 227, 243);"));
    new WindowMove(Image1);

    auto *Image2 = new QLabel(this); // the small icon before the title
    Image2->setPixmap(programLogo(QSize(26, 26)));
    Image2->setGeometry(6, 2, 26, 26);
    Image2->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *Label1 = new QLabel(QStringLiteral("登录密码设置"), this);
    QFont title = Label1->font();
    title.setBold(true);
    Label1->setFont(title);
    Label1->move(38, 8);
    Label1->adjustSize();

    JvXPToolButton1 = new QToolButton(this);
    JvXPToolButton1->setText(QStringLiteral("×"));
    JvXPToolButton1->setToolTip(QStringLiteral("关闭"));
    JvXPToolButton1->setAutoRaise(true);
    JvXPToolButton1->setGeometry(width() - 28, 4, 24, 22);
    connect(JvXPToolButton1, &QToolButton::clicked, this, &TpwsetFrm::JvXPToolButton1Click);

    JCheckbox1 = new QCheckBox(QStringLiteral("启动登录密码"), this);
    JCheckbox1->move(60, 52);
    auto *Label2 = new QLabel(QStringLiteral("请输入登录密码："), this);
    Label2->move(60, 92);
    Label2->adjustSize();
    edit1 = newPasswordField(this);
    edit1->setGeometry(180, 88, 190, 22);
    auto *Label3 = new QLabel(QStringLiteral("请再次输入密码："), this);
    Label3->move(60, 130);
    Label3->adjustSize();
    edit2 = newPasswordField(this);
    edit2->setGeometry(180, 126, 190, 22);

    JvXPButton1 = new QPushButton(QStringLiteral("应   用"), this);
    JvXPButton1->setAutoDefault(false);
    JvXPButton1->setGeometry(300, 176, 70, 26);
    connect(JvXPButton1, &QPushButton::clicked, this,
            [this] { runReportingErrors(dialogs_, this, [this] { JvXPButton1Click(); }); });
}

void TpwsetFrm::showEvent(QShowEvent *event)
{
    centreOver(this, parentWidget());
    QDialog::showEvent(event);
    runReportingErrors(dialogs_, this, [this] { FormShow(); }); // the window opens whatever happens
}

void TpwsetFrm::FormShow()
{
    const std::optional<QStringList> lines = readPasswordFile(passwordFile_);
    if (!lines)
        throw FileError(QStringLiteral("找不到文件 %1").arg(passwordFile_).toStdString());
    if (lines->size() < 3)
        throw FileError(QStringLiteral("文件 %1 不完整").arg(passwordFile_).toStdString());
    if (lines->at(2) == QLatin1String("-1"))
        JCheckbox1->setChecked(true);
}

void TpwsetFrm::JvXPButton1Click()
{
    if (!JCheckbox1->isChecked()) {
        writeNoPassword(passwordFile_);
        dialogs_.showMessageBox(this, QStringLiteral("提示"), QStringLiteral("取消密码成功!"));
        accept();
        return;
    }
    if (!edit1->text().isEmpty() && !edit2->text().isEmpty()) {
        if (edit1->text() != edit2->text()) {
            dialogs_.showMessage(this, QStringLiteral("两次输入的密码不一致!"));
            return;
        }
        writePassword(passwordFile_, edit1->text(), edit2->text());
        dialogs_.showMessageBox(this, QStringLiteral("提示"), QStringLiteral("设置登录密码成功!"));
        accept();
    } else if (!edit1->text().isEmpty()) {
        dialogs_.showMessage(this, QStringLiteral("请再次输入登录密码!"));
        edit2->setFocus();
    } else {
        dialogs_.showMessage(this, QStringLiteral("请输入登录密码!"));
        edit1->setFocus();
    }
}

void TpwsetFrm::JvXPToolButton1Click()
{
    reject();
}

} // namespace tavi
