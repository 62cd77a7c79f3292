#include "backgrounds/BackgroundList.h"
#include "formats/LineFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

class BackgroundListTest : public ::testing::Test {
protected:
    void write(const QByteArray &bytes) { writeFileAtomically(path, bytes); }
    QByteArray bytes() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void load(bool changed) { list.load(path, changed); }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("BGPicList.ini"));
    BackgroundList list;
};

} // namespace

TEST_F(BackgroundListTest, AMissingFileGetsTheDefaultList)
{
    list.index = 5;
    load(false);
    EXPECT_EQ(bytes(), QByteArray("A1.bmp\r\nA1.bmp\r\n"));
    EXPECT_EQ(list.entries, (QStringList{"A1.bmp", "A1.bmp"}));
    EXPECT_EQ(list.linesRead, 2);
    EXPECT_EQ(list.index, 0);
    EXPECT_EQ(list.current, QStringLiteral("A1.bmp"));
}

TEST_F(BackgroundListTest, IndexFollowsTheLastLineOrTheChosenPicture)
{
    struct Case {
        QByteArray file;
        bool changed;
        int count, index;
        const char *current;
    };
    const Case cases[] = {
        {"B.bmp\r\nA1.bmp\r\nB.bmp\r\nC.bmp\r\n", false, 4, 3, "B.bmp"},
        {"B.bmp\r\nA1.bmp\r\nB.bmp\r\nC.bmp\r\n", true, 4, 2, "B.bmp"},
        {"B.bmp\r\nB.bmp\r\nA1.bmp\r\nB.bmp\r\n", true, 4, 3, "B.bmp"},
        {"X.bmp\r\nA1.bmp\r\n", true, 2, 0, "X.bmp"},
        {"X.bmp\r\nA1.bmp\r\n", false, 2, 1, "X.bmp"},
        {"A1.bmp", true, 1, 0, "A1.bmp"},
        {"A1.bmp", false, 1, 0, "A1.bmp"},
        {"B.bmp\nA1.bmp\nB.bmp", true, 3, 2, "B.bmp"},          // LF only, no last line end
        {"a1.bmp\r\nA1.bmp\r\nA1.bmp \r\n", true, 3, 0, "a1.bmp"}, // case and blanks count
        {QByteArray("B.bmp\r\nB.bmp\r\n\0C.bmp\r\n", 22), false, 2, 1, "B.bmp"}, // NUL ends the text
    };
    for (const Case &c : cases) {
        write(c.file);
        list.index = -1;
        load(c.changed);
        EXPECT_EQ(list.linesRead, c.count) << c.file.toStdString();
        EXPECT_EQ(list.index, c.index) << c.file.toStdString() << (c.changed ? " changed" : "");
        EXPECT_EQ(list.current, QLatin1String(c.current));
        EXPECT_EQ(int(list.entries.size()), c.count);
    }
}

TEST_F(BackgroundListTest, AnEmptyFileChangesOnlyTheCount)
{
    write("B.bmp\r\nA1.bmp\r\nB.bmp\r\n");
    load(true);
    write("");
    load(false);
    EXPECT_EQ(list.linesRead, 0);
    EXPECT_EQ(list.current, QStringLiteral("B.bmp"));
    EXPECT_EQ(list.index, 2);
    EXPECT_EQ(list.entries.size(), 3);
    EXPECT_EQ(bytes(), QByteArray()); // not rewritten
}

TEST_F(BackgroundListTest, EmptyLinesAreEntriesAndUntouchedNamesKeepTheirBytes)
{
    write("\xBA\xA3.bmp\r\n\r\n\xBA\xA3.bmp\r\n\x81\xFF.bmp\r\n"); // 海.bmp, an empty line, bytes that are no GBK
    const std::optional<QStringList> lines = readBackgroundList(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (QStringList{QStringLiteral("海.bmp"), QString(), QStringLiteral("海.bmp"), lines->at(3)}));
    saveBackgroundList(path, lines->first(), lines->mid(1));
    EXPECT_EQ(bytes(), QByteArray("\xBA\xA3.bmp\r\n\r\n\xBA\xA3.bmp\r\n\x81\xFF.bmp\r\n"));

    // A name GBK cannot hold is written in GB18030 and reads back the same.
    saveBackgroundList(path, QStringLiteral("A1.bmp"), {QStringLiteral("한.bmp")});
    EXPECT_EQ(readBackgroundList(path)->at(1), QStringLiteral("한.bmp"));
}

TEST_F(BackgroundListTest, AListThatCannotBeReadOrWrittenIsAnError)
{
    const QString missingFolder = dir.filePath(QStringLiteral("no/BGPicList.ini"));
    list.linesRead = 7;
    EXPECT_THROW(list.load(missingFolder, false), FileError);
    EXPECT_EQ(list.linesRead, 0);
    EXPECT_TRUE(list.current.isEmpty());
}
