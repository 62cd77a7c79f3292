#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavi;

TEST(ProgramFolder, ExecutableFolderIsTheFolderOfTheRunningExecutable)
{
    const QString folder = executableFolder();
    EXPECT_TRUE(folder.endsWith(u'/'));
    EXPECT_EQ(QDir(folder).canonicalPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
}

// A folder of its own when Data/ stands beside the executable, else the
// user's data folder; the read-only files beside it or in ../share/tavi.
TEST(ProgramFolder, FolderOfItsOwnOrPerUserAndTheProgramsOwnFiles)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("own/Data")));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("own/assets")));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("usr/bin")));
    const QString own = root.path() + QStringLiteral("/own/");
    const QString bin = root.path() + QStringLiteral("/usr/bin/");
    const QString home = QStringLiteral("/home/someone");

    EXPECT_EQ(programFolderFor(own, QStringLiteral("/elsewhere"), home), own);
    EXPECT_EQ(programFolderFor(bin, QStringLiteral("/xdg/data/"), home), QStringLiteral("/xdg/data/tavi/"));
    EXPECT_EQ(programFolderFor(bin, QString(), home), QStringLiteral("/home/someone/.local/share/tavi/"));
    EXPECT_EQ(programFolderFor(bin, QStringLiteral("relative/data"), home),
              QStringLiteral("/home/someone/.local/share/tavi/"));

    EXPECT_EQ(programFilesFolderFor(own), own + QStringLiteral("assets/"));
    EXPECT_EQ(programFilesFolderFor(bin), root.path() + QStringLiteral("/usr/share/tavi/"));
}

class ResolvePath : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        QDir dir(root.path());
        ASSERT_TRUE(dir.mkpath(QStringLiteral("Data")));
        ASSERT_TRUE(dir.mkpath(QStringLiteral("source/DeskTopBG")));
        touch(QStringLiteral("Data/FormSize.ini"));
        touch(QStringLiteral("source/DeskTopBG/Mix.bmp"));
    }
    void touch(const QString &relative)
    {
        QFile file(root.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString base() const { return root.path() + u'/'; }

    QTemporaryDir root;
};

TEST_F(ResolvePath, MatchesEachComponentRegardlessOfCase)
{
    EXPECT_EQ(resolvePath(base(), QStringLiteral("data\\FormSize.ini")), base() + "Data/FormSize.ini");
    EXPECT_EQ(resolvePath(base(), QStringLiteral("Data\\formsize.INI")), base() + "Data/FormSize.ini");
    EXPECT_EQ(resolvePath(base(), QStringLiteral("source\\DeskTopBG\\Mix.Bmp")),
              base() + "source/DeskTopBG/Mix.bmp");
    EXPECT_EQ(resolvePath(root.path(), QStringLiteral("SOURCE\\desktopbg\\")), base() + "source/DeskTopBG");
}

TEST_F(ResolvePath, MissingComponentsKeepTheirSpelling)
{
    EXPECT_EQ(resolvePath(base(), QStringLiteral("data\\content.ini")), base() + "Data/content.ini");
    EXPECT_EQ(resolvePath(base(), QStringLiteral("Nowhere\\Data\\x.ini")), base() + "Nowhere/Data/x.ini");
}

TEST_F(ResolvePath, ExactSpellingWinsWhenBothExist)
{
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("data")));
    EXPECT_EQ(resolvePath(base(), QStringLiteral("data\\a")), base() + "data/a");
    EXPECT_EQ(resolvePath(base(), QStringLiteral("Data\\a")), base() + "Data/a");
}
