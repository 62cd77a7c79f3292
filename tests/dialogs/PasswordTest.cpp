#include "login/PasswordFile.h"
#include "dialogs/LoginDialog.h"
#include "dialogs/PasswordDialog.h"
#include "formats/LineFile.h"
#include "tests/support/NotesFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sodium.h>

#include <sys/stat.h>

using namespace tavi;

namespace {

class PasswordTest : public ::testing::Test {
protected:
    QStringList lines() const { return readPasswordFile(path).value_or(QStringList{QStringLiteral("<missing>")}); }
    QStringList texts(const char *kind) const
    {
        QStringList result;
        for (const auto &shown : dialogs.shown)
            if (shown.kind == QLatin1String(kind))
                result.append(shown.text);
        return result;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("loginstr.db"));
    test::FakeDialogs dialogs;
    int endRequests = 0;
};

} // namespace

TEST_F(PasswordTest, HashesNeverEqualTheTextAndVerify)
{
    const QString hash = hashPassword(QStringLiteral("秘密 pass"));
    EXPECT_TRUE(hash.startsWith(QLatin1String("$argon2id$")));
    EXPECT_NE(hash, QStringLiteral("秘密 pass"));
    EXPECT_NE(hashPassword(QStringLiteral("秘密 pass")), hash); // salted
    EXPECT_TRUE(passwordMatches(QStringLiteral("秘密 pass"), hash));
    for (const char *wrong : {"秘密 PASS", "秘密 pass ", "", "$argon2id$"})
        EXPECT_FALSE(passwordMatches(QString::fromUtf8(wrong), hash)) << wrong;
    EXPECT_FALSE(passwordMatches(hash, hash)); // typing the stored line does not open it

    // Older files hold the text itself: compared exactly.
    EXPECT_TRUE(passwordMatches(QStringLiteral("Abc"), QStringLiteral("Abc")));
    EXPECT_FALSE(passwordMatches(QStringLiteral("abc"), QStringLiteral("Abc")));
    EXPECT_TRUE(passwordMatches(QString(), QString()));
}

TEST_F(PasswordTest, AHashAskingForHugeCostsIsRefusedUnverified)
{
    // A damaged or planted file must not make the login take minutes or all the memory.
    char costly[crypto_pwhash_STRBYTES];
    ASSERT_EQ(crypto_pwhash_str(costly, "pass", 4, 1, (4 * 65536 + 1024) * 1024ull), 0);
    EXPECT_FALSE(passwordMatches(QStringLiteral("pass"), QString::fromLatin1(costly)));
    QString rounds = hashPassword(QStringLiteral("pass"));
    rounds.replace(QStringLiteral(",t=2,"), QStringLiteral(",t=4000000000,"));
    EXPECT_FALSE(passwordMatches(QStringLiteral("pass"), rounds));
}

TEST_F(PasswordTest, TheFileHoldsHashesTheSentinelAndOnlyTheOwnerMayReadIt)
{
    writePassword(path, QStringLiteral("pw"), QStringLiteral("pw"));
    const QStringList written = lines();
    ASSERT_EQ(written.size(), 3);
    EXPECT_TRUE(passwordMatches(QStringLiteral("pw"), written[0]));
    EXPECT_TRUE(passwordMatches(QStringLiteral("pw"), written[1]));
    EXPECT_EQ(written[2], QStringLiteral("-1"));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    writeNoPassword(path);
    EXPECT_EQ(readWholeFile(path), QByteArray("NOKEY7302468\r\nNOKEY7302468\r\n0\r\n"));
}

TEST_F(PasswordTest, LoginWindowChecksEachEntry)
{
    writePassword(path, QStringLiteral("Open Sesame"), QStringLiteral("Open Sesame"));
    LoginDialog login(path, dialogs, [this] { ++endRequests; });
    EXPECT_EQ(login.size(), QSize(246, 145));
    EXPECT_EQ(login.forgotButton()->text(), QStringLiteral("忘记密码"));
    login.show();
    for (const char *wrong : {"open sesame", "Open Sesame "}) {
        login.passwordField()->setText(QString::fromUtf8(wrong));
        login.confirm();
        EXPECT_TRUE(login.passwordField()->text().isEmpty()) << wrong; // emptied every time
        EXPECT_FALSE(login.passed());
    }
    EXPECT_EQ(texts("box"), QStringList(2, QStringLiteral("密码不正确,请重新输入登录密码!")));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("登陆提示"));

    // Enter in the field works as OK; what is typed shows as stars.
    login.passwordField()->setFocus();
    QTest::keyClicks(login.passwordField(), QStringLiteral("Open Sesame"));
    EXPECT_EQ(login.passwordField()->displayText(), QString(11, u'*'));
    QTest::keyClick(login.passwordField(), Qt::Key_Return);
    EXPECT_TRUE(login.passed());
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_EQ(endRequests, 0);
}

TEST_F(PasswordTest, AnOldFileWithAnEmptyLineOneAcceptsAnEmptyEntry)
{
    writeFileAtomically(path, "\r\n\r\n-1\r\n");
    LoginDialog login(path, dialogs, [this] { ++endRequests; });
    login.confirm();
    EXPECT_TRUE(login.passed());
}

TEST_F(PasswordTest, CancelAndAVanishedFileEndTheProgram)
{
    writePassword(path, QStringLiteral("x"), QStringLiteral("x"));
    LoginDialog login(path, dialogs, [this] { ++endRequests; });
    login.cancel();
    EXPECT_FALSE(login.passed());
    EXPECT_EQ(endRequests, 1);
    QFile::remove(path);
    login.confirm();
    EXPECT_EQ(endRequests, 2);
    EXPECT_FALSE(login.passed());
}

TEST_F(PasswordTest, SettingsWindowMessagesInTheirOrder)
{
    writeNoPassword(path);
    PasswordDialog settings(path, dialogs);
    EXPECT_EQ(settings.size(), QSize(442, 222));
    EXPECT_EQ(settings.applyButton()->text(), QStringLiteral("应   用"));
    EXPECT_EQ(settings.closeButton()->toolTip(), QStringLiteral("关闭"));
    settings.enableBox()->setChecked(true);
    struct Step {
        const char *first, *second, *message;
    };
    const Step steps[] = {
        {"", "", "请输入登录密码!"},
        {"", "only second", "请输入登录密码!"},
        {"only first", "", "请再次输入登录密码!"},
        {"Secret", "secret", "两次输入的密码不一致!"},
    };
    for (const Step &step : steps) {
        dialogs.shown.clear();
        settings.firstEntry()->setText(QString::fromUtf8(step.first));
        settings.secondEntry()->setText(QString::fromUtf8(step.second));
        settings.apply();
        EXPECT_EQ(texts("message"), QStringList{QString::fromUtf8(step.message)}) << step.first << "/" << step.second;
        EXPECT_EQ(lines()[2], QStringLiteral("0")) << "nothing written";
    }
    dialogs.shown.clear();
    settings.firstEntry()->setText(QStringLiteral("   "));
    settings.secondEntry()->setText(QStringLiteral("   "));
    settings.apply(); // blanks only is a password like any other
    EXPECT_EQ(texts("box"), QStringList{QStringLiteral("设置登录密码成功!")});
    EXPECT_TRUE(passwordMatches(QStringLiteral("   "), lines()[0]));

    dialogs.shown.clear();
    settings.enableBox()->setChecked(false);
    settings.apply();
    EXPECT_EQ(texts("box"), QStringList{QStringLiteral("取消密码成功!")});
    EXPECT_EQ(lines(), (QStringList{"NOKEY7302468", "NOKEY7302468", "0"}));
}

TEST_F(PasswordTest, OpeningChecksButNeverUnchecks)
{
    PasswordDialog settings(path, dialogs);
    settings.show(); // no file: the read error is reported and the window opens unchecked
    EXPECT_TRUE(settings.isVisible());
    EXPECT_EQ(texts("error").size(), 1);
    EXPECT_FALSE(settings.enableBox()->isChecked());
    settings.hide();

    writePassword(path, QStringLiteral("a"), QStringLiteral("a"));
    settings.show();
    EXPECT_TRUE(settings.enableBox()->isChecked());
    EXPECT_TRUE(settings.firstEntry()->text().isEmpty());
    settings.hide();

    writeNoPassword(path); // the box stays as the user left it
    settings.show();
    EXPECT_TRUE(settings.enableBox()->isChecked());
}
