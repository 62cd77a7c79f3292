#include "editing/Export.h"
#include "notes/WeekExport.h"

#include "formats/LineFile.h"
#include "tests/support/NotesFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <array>

using namespace tavi;
using tavi::test::FakeDialogs;

namespace {

// A week's texts and a folder to export into.
struct Week {
    WeekTexts texts;
    FakeDialogs dialogs;
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    // Exports to the chosen name (nullopt: the dialog is cancelled).
    void exportAs(const std::optional<QString> &chosen, int slot = 1)
    {
        dialogs.fileAnswers = {chosen};
        exportWeek(texts, slot, dialogs, nullptr);
    }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

} // namespace

TEST(Export, EmptyWeekIsTwelveLinesOfHeadingsAndBlanks)
{
    Week week;
    week.exportAs(week.path(QStringLiteral("week")));
    const QByteArray expected = "\xD0\xC7\xC6\xDA\xD2\xBB\r\n\r\n"  // 星期一
                                "\xD0\xC7\xC6\xDA\xB6\xFE\r\n\r\n"  // 星期二
                                "\xD0\xC7\xC6\xDA\xC8\xFD\r\n\r\n"  // 星期三
                                "\xD0\xC7\xC6\xDA\xCB\xC4\r\n\r\n"  // 星期四
                                "\xD0\xC7\xC6\xDA\xCE\xE5\r\n\r\n"  // 星期五
                                "\xD0\xC7\xC6\xDA\xC1\xF9\r\n\r\n"; // 星期六
    EXPECT_EQ(contents(week.path(QStringLiteral("week.txt"))), expected);
}

TEST(Export, EachBoxFollowsItsHeadingAsPlainText)
{
    Week week;
    week.texts[1] = QStringLiteral("first\r\nsecond\r\nthird");
    week.texts[3] = QStringLiteral("done √ ×");

    const QStringList lines = exportLines(week.texts);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[2], QStringLiteral("星期二"));
    EXPECT_EQ(lines[3], QStringLiteral("first\r\nsecond\r\nthird"));
    EXPECT_EQ(lines[7], QStringLiteral("done √ ×"));

    week.exportAs(week.path(QStringLiteral("week")));
    const auto written = readLineFile(week.path(QStringLiteral("week.txt")));
    ASSERT_TRUE(written);
    const QStringList expected{
        QStringLiteral("星期一"), QString(),
        QStringLiteral("星期二"), QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third"),
        QStringLiteral("星期三"), QString(),
        QStringLiteral("星期四"), QStringLiteral("done √ ×"),
        QStringLiteral("星期五"), QString(),
        QStringLiteral("星期六"), QString(),
    };
    EXPECT_EQ(*written, expected);
}

TEST(Export, ProposedNameIsTheSlotLetter)
{
    const struct {
        int slot;
        QString name;
    } cases[] = {
        {1, QStringLiteral("A记事")}, {3, QStringLiteral("C记事")}, {5, QStringLiteral("E记事")},
        {0, QStringLiteral("记事")},  {6, QStringLiteral("记事")},  {-1, QStringLiteral("记事")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(defaultExportName(c.slot), c.name);
    }

    Week week;
    week.exportAs(std::nullopt, 3);
    ASSERT_EQ(week.dialogs.shown.size(), 1u);
    EXPECT_EQ(week.dialogs.shown[0].caption, QStringLiteral("*.Txt|*.Txt")); // the filter
    EXPECT_EQ(week.dialogs.shown[0].text, QStringLiteral("C记事"));
}

TEST(Export, TxtIsAppendedUnlessTheNameEndsWithIt)
{
    const struct {
        QString chosen;
        QString path;
    } cases[] = {
        {QStringLiteral("/tmp/周报"), QStringLiteral("/tmp/周报.txt")},
        {QStringLiteral("/tmp/周报.txt"), QStringLiteral("/tmp/周报.txt")},
        {QStringLiteral("/tmp/周报.Txt"), QStringLiteral("/tmp/周报.Txt")},
        {QStringLiteral("/tmp/周报.TXT"), QStringLiteral("/tmp/周报.TXT")},
        {QStringLiteral("/tmp/a.txt.bak"), QStringLiteral("/tmp/a.txt.bak.txt")},
        {QStringLiteral("/tmp/a.tx"), QStringLiteral("/tmp/a.tx.txt")},
        {QStringLiteral("/tmp/atxt"), QStringLiteral("/tmp/atxt.txt")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        EXPECT_EQ(exportFilePath(c.chosen), c.path);
    }

    Week week;
    week.exportAs(week.path(QStringLiteral("周报.TXT")));
    EXPECT_EQ(week.files(), QStringList{QStringLiteral("周报.TXT")});
}

TEST(Export, EmptyNameIsRefusedAndCancelIsSilent)
{
    Week week;
    week.exportAs(QString());
    ASSERT_EQ(week.dialogs.shown.size(), 2u);
    EXPECT_EQ(week.dialogs.shown[1].kind, QStringLiteral("message"));
    EXPECT_EQ(week.dialogs.shown[1].text, QStringLiteral("文件名不能为空！"));

    week.dialogs.shown.clear();
    week.exportAs(std::nullopt);
    EXPECT_EQ(week.dialogs.shown.size(), 1u); // only the save dialog itself
    EXPECT_TRUE(week.files().isEmpty());
}

TEST(Export, CharactersOutsideGbkAreWrittenAsGb18030)
{
    Week week;
    week.texts[0] = QStringLiteral("한") + QString::fromUcs4(U"\U0001F4A9");
    week.exportAs(week.path(QStringLiteral("week.txt")));
    const QByteArray bytes = contents(week.path(QStringLiteral("week.txt")));
    EXPECT_TRUE(bytes.startsWith("\xD0\xC7\xC6\xDA\xD2\xBB\r\n"
                                 "\x83\x36\x84\x33"
                                 "\x94\x39\xDA\x33\r\n"));
}

TEST(Export, AnExistingFileIsReplacedOnlyWhenTheUserSaysSoAndNeverWhenReadOnly)
{
    Week week;
    const QString path = week.path(QStringLiteral("week.txt"));
    writeFileAtomically(path, QByteArray(1000, 'x'));
    week.texts[5] = QStringLiteral("sat");

    week.dialogs.questionAnswers = {false};
    week.exportAs(week.path(QStringLiteral("week"))); // ".txt" appended: the question is about week.txt
    ASSERT_EQ(week.dialogs.shown.size(), 2u);
    EXPECT_EQ(week.dialogs.shown[1].kind, QStringLiteral("question"));
    EXPECT_TRUE(week.dialogs.shown[1].text.contains(path));
    EXPECT_EQ(contents(path), QByteArray(1000, 'x'));

    week.dialogs.questionAnswers = {true};
    week.exportAs(path);
    EXPECT_TRUE(contents(path).endsWith("\xD0\xC7\xC6\xDA\xC1\xF9\r\nsat\r\n"));
    EXPECT_EQ(contents(path).size(), 6 * (6 + 2 + 2) + 3); // six headings and bodies, each with CR LF

    // Read-only: refused before any question, even for root, and left as it was.
    writeFileAtomically(path, QByteArray(10, 'y'));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    week.dialogs.shown.clear();
    week.dialogs.questionAnswers = {true};
    try {
        week.exportAs(path);
        ADD_FAILURE() << "no error";
    } catch (const FileError &error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(path)) << error.what();
    }
    EXPECT_EQ(week.dialogs.shown.size(), 1u); // the save dialog only
    EXPECT_EQ(contents(path), QByteArray(10, 'y'));
}

TEST(Export, AWriteFailureNamesTheFullPath)
{
    Week week;
    ASSERT_TRUE(QDir(week.dir.path()).mkdir(QStringLiteral("taken.txt")));
    const QString relative = QStringLiteral("no-such-folder-%1/week").arg(QCoreApplication::applicationPid());

    const struct {
        const char *why;
        QString chosen;
        QString named;
    } cases[] = {
        {"a folder is in the way", week.path(QStringLiteral("taken")), week.path(QStringLiteral("taken.txt"))},
        {"missing folder", week.path(QStringLiteral("missing/week")), week.path(QStringLiteral("missing/week.txt"))},
        {"relative name", relative, QDir::current().absoluteFilePath(relative + QStringLiteral(".txt"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        try {
            week.exportAs(c.chosen);
            ADD_FAILURE() << "no error";
        } catch (const FileError &error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(c.named)) << error.what();
        }
    }
    EXPECT_TRUE(QFileInfo(week.path(QStringLiteral("taken.txt"))).isDir());
}
