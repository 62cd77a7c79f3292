#include "formats/LineFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavi;

TEST(LineFile, SplitsAtEveryKindOfLineEnd)
{
    struct Case {
        QByteArray bytes;
        QList<QByteArray> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"\r\n", {""}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\n", {"a", "b", "c"}},
        {"a\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}}, // LF CR is two line ends
        {"a\r\r\n", {"a", ""}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(splitLines(c.bytes), c.lines) << c.bytes.toStdString();
}

TEST(LineFile, NulByteEndsTheTextOnlyWhenAsked)
{
    const QByteArray bytes("a\0b\r\nc", 6);
    EXPECT_EQ(splitLines(bytes, NulByte::EndsText), QList<QByteArray>{"a"});
    EXPECT_EQ(splitLines(bytes, NulByte::IsText), (QList<QByteArray>{QByteArray("a\0b", 3), "c"}));
    EXPECT_EQ(splitLines(QByteArray("\0x", 2), NulByte::EndsText), QList<QByteArray>{});
}

TEST(LineFile, WritesGbkWithCrLfAfterEveryLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FormSize.ini"));
    writeLineFile(path, {QStringLiteral("906"), QStringLiteral("中文"), QString()});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("906\r\n\xD6\xD0\xCE\xC4\r\n\r\n"));
    EXPECT_EQ(readLineFile(path), (QStringList{QStringLiteral("906"), QStringLiteral("中文"), QString()}));
}

TEST(LineFile, ReplacesTheWholeFileAndLeavesNoTemporaryFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.ini"));
    writeLineFile(path, {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    writeLineFile(path, {QStringLiteral("new")});
    EXPECT_EQ(readLineFile(path), QStringList{QStringLiteral("new")});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("list.ini")});

    // A crash between writing and renaming left the temporary file: the next
    // write takes it over. The file keeps the permissions it had.
    QFile stray(path + QLatin1String(kTemporarySuffix));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write(QByteArray(100000, 'x'));
    stray.close();
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    writeLineFile(path, {QStringLiteral("after")});
    EXPECT_EQ(readLineFile(path), QStringList{QStringLiteral("after")});
    EXPECT_EQ(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                            | QFileDevice::WriteUser);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("list.ini")});
}

TEST(LineFile, UntouchedRawLinesAreWrittenBackExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("raw.ini"));
    const QList<QByteArray> lines{"\x81\xFF", "plain", "\xD6\xD0"};
    writeRawLineFile(path, lines);
    EXPECT_EQ(readRawLineFile(path), lines);
}

TEST(LineFile, MissingAndUnwritableFiles)
{
    QTemporaryDir dir;
    EXPECT_EQ(readLineFile(dir.filePath(QStringLiteral("none.ini"))), std::nullopt);
    // A folder that does not exist: the program creates no folders, so this fails clearly.
    EXPECT_THROW(writeLineFile(dir.filePath(QStringLiteral("no/such.ini")), {QStringLiteral("x")}), FileError);
    // A folder standing where the file should be cannot be replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    EXPECT_THROW(writeLineFile(dir.filePath(QStringLiteral("taken")), {QStringLiteral("x")}), FileError);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("taken"))).isDir());
}
