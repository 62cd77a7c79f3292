#include "notes/NotesDatabase.h"
#include "storage/Database.h"
#include "pictures/BmpReader.h"
#include "tests/TestData.h"
#include "notes/DayNote.h"
#include "tests/support/NotesFixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace tavi;

namespace {

struct CliRun {
    int exitCode;
    QString out;
    QString err;
};

CliRun cli(const QStringList &args, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVI_CLI_PATH), args);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(Cli, SetDayKeepsVersionsThatHistoryListsAndRestorePutsBack)
{
    test::ProgramFolderFixture folder;
    const QStringList week{QStringLiteral("--folder"), folder.folder(), QStringLiteral("--slot"), QStringLiteral("B"),
                           QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--year"), QStringLiteral("2026")};
    auto setDay = [&](const QString &text) {
        return cli(QStringList{QStringLiteral("set-day")} + week + QStringList{QStringLiteral("--day"), QStringLiteral("2"), text});
    };
    const auto tuesday = [&] {
        return DayNote(test::NotesInspector(folder.databasePath()).memo(QStringLiteral("tb_B"), QStringLiteral("20263"), 1))
            .plainText();
    };
    ASSERT_EQ(setDay(QStringLiteral("第一版")).exitCode, 0);
    EXPECT_EQ(tuesday(), QStringLiteral("第一版"));
    // Stored an hour ago: the next save keeps it as a version.
    test::NotesInspector(folder.databasePath()).exec(QStringLiteral("update tavi_week_times set stored_at = stored_at - 3600"));
    ASSERT_EQ(setDay(QStringLiteral("第二版 more")).exitCode, 0);

    const CliRun history = cli(QStringList{QStringLiteral("history")} + week);
    EXPECT_EQ(history.exitCode, 0);
    const QStringList lines = history.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << history.out.toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" 0 3 0 0 0 0"))) << lines[0].toStdString(); // characters per day
    const QString id = lines[0].section(u' ', 0, 0);

    EXPECT_EQ(cli({QStringLiteral("restore"), QStringLiteral("--folder"), folder.folder(), QStringLiteral("--version"), id})
                  .exitCode, 0);
    EXPECT_EQ(tuesday(), QStringLiteral("第一版"));
    EXPECT_EQ(cli(QStringList{QStringLiteral("history")} + week).out.count(u'\n'), 2); // what it replaced is kept too

    // The kept versions are not found; the week's text is, in any case, with its line.
    const CliRun found = cli({QStringLiteral("search"), QStringLiteral("--folder"), folder.folder(), QStringLiteral("第一")});
    EXPECT_EQ(found.exitCode, 0);
    EXPECT_EQ(found.out, QStringLiteral("2026 3 B 星期二 第一版\n"));
    EXPECT_EQ(cli({QStringLiteral("search"), QStringLiteral("--folder"), folder.folder(), QStringLiteral("MORE")}).exitCode, 1);
    EXPECT_EQ(cli({QStringLiteral("search"), QStringLiteral("--folder"), folder.folder()}).exitCode, 2);

    EXPECT_EQ(cli(QStringList{QStringLiteral("set-day")} + week + QStringList{QStringLiteral("--day"), QStringLiteral("7"), QStringLiteral("x")}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("restore"), QStringLiteral("--folder"), folder.folder(), QStringLiteral("--version"), QStringLiteral("x")}).exitCode, 2);
    const CliRun missing = cli({QStringLiteral("restore"), QStringLiteral("--folder"), folder.folder(), QStringLiteral("--version"), QStringLiteral("999")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("no version 999"))) << missing.err.toStdString();
}

TEST(Cli, HelpListsEveryCommand)
{
    const CliRun run = cli({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    for (const char *command : {"rtf-to-text", "rtf-roundtrip", "week", "export", "create-database", "to-bmp",
                                "load-bmp", "blend", "content-picture", "apply", "default-background",
                                "import-mdb", "set-day", "history", "restore", "no-password", "lay-out-folder"})
        EXPECT_TRUE(run.out.contains(QLatin1String(command))) << command;
    EXPECT_EQ(cli({QStringLiteral("no-such-command")}).exitCode, 2);
}

// Installed for every user (no Data/ beside it), tavi-cli works on the user's
// own folder, laid out as the program lays it out and never replaced.
TEST(Cli, WithoutFolderItUsesThePerUserFolder)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("usr/bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVI_CLI_PATH), bin + QStringLiteral("/tavi-cli")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
    const QString folder = root.filePath(QStringLiteral("data/tavi"));
    const auto run = [&](const QStringList &args) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(bin + QStringLiteral("/tavi-cli"), args);
        EXPECT_TRUE(process.waitForFinished(30000));
        return std::pair(process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()));
    };
    const QStringList week{QStringLiteral("--slot"), QStringLiteral("A"), QStringLiteral("--month"), QStringLiteral("6"),
                           QStringLiteral("--year"), QStringLiteral("2026")};

    EXPECT_EQ(run(QStringList{QStringLiteral("week")} + week).first, 1); // nothing laid out yet
    const auto [laidOut, made] = run({QStringLiteral("lay-out-folder"), folder});
    ASSERT_EQ(laidOut, 0);
    EXPECT_EQ(made.split(u'\n', Qt::SkipEmptyParts),
              (QStringList{folder + "/Data/UserData.db", folder + "/Data/loginstr.db", folder + "/source/DeskTopBG/A1.bmp"}));
    ASSERT_EQ(run(QStringList{QStringLiteral("set-day")} + week + QStringList{QStringLiteral("--day"), QStringLiteral("1"), QStringLiteral("开会")}).first, 0);
    EXPECT_EQ(run({QStringLiteral("lay-out-folder"), folder}), std::pair(0, QString())); // nothing is made again
    EXPECT_TRUE(run(QStringList{QStringLiteral("week")} + week).second.contains(QStringLiteral("开会")));
    EXPECT_EQ(DayNote(test::NotesInspector(folder + QStringLiteral("/Data/UserData.db")).memo(QStringLiteral("tb_A"), QStringLiteral("20266"), 0)).plainText(),
              QStringLiteral("开会"));
}

TEST(Cli, RtfToTextAndRoundTrip)
{
    TAVI_REQUIRE_TESTDATA("rtf");
    const QString file = test::rtfCorpusDir() + QStringLiteral("/re-src-newnote.rtf");
    const CliRun text = cli({QStringLiteral("rtf-to-text"), file});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out, QStringLiteral("新建笔记---无内容\n"));
    const CliRun rtf = cli({QStringLiteral("rtf-roundtrip"), file});
    EXPECT_TRUE(rtf.out.startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg936")));

    const CliRun missing = cli({QStringLiteral("rtf-to-text"), QStringLiteral("/no/such/file.rtf")});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("/no/such/file.rtf")));
}

TEST(Cli, WeekPrintsTheSixBoxesUnderTheirHeadings)
{
    test::ProgramFolderFixture folder;
    test::NotesInspector(folder.databasePath())
        .insertWeek(QStringLiteral("tb_C"), QStringLiteral("20263"),
                    WeekMemos{"{\\rtf1\\ansi\\ansicpg936 \\'bf\\'aa\\'bb\\'e1\\par}", {}, {}, {}, {}, "plain\r\nlines"});
    const CliRun run = cli({QStringLiteral("week"), QStringLiteral("--folder"), folder.folder(), QStringLiteral("--slot"),
                         QStringLiteral("C"), QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--year"),
                         QStringLiteral("2026")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("星期一\n开会\n\n星期二\n\n星期三\n\n星期四\n\n星期五\n\n星期六\nplain\nlines\n"));

    const CliRun badSlot = cli({QStringLiteral("week"), QStringLiteral("--folder"), folder.folder(), QStringLiteral("--slot"),
                             QStringLiteral("F"), QStringLiteral("--month"), QStringLiteral("3")});
    EXPECT_EQ(badSlot.exitCode, 2);
    QTemporaryDir empty;
    const CliRun noDatabase = cli({QStringLiteral("week"), QStringLiteral("--folder"), empty.path(), QStringLiteral("--slot"),
                                QStringLiteral("A"), QStringLiteral("--month"), QStringLiteral("1")});
    EXPECT_EQ(noDatabase.exitCode, 1);
    EXPECT_TRUE(noDatabase.err.contains(QStringLiteral("cannot open the notes database")));
}

TEST(Cli, ExportWritesWhatTheExportCommandWrites)
{
    test::ProgramFolderFixture folder;
    test::NotesInspector(folder.databasePath())
        .insertWeek(QStringLiteral("tb_A"), QStringLiteral("20261"),
                    WeekMemos{QByteArray(), "two\r\nlines", QByteArray(), QByteArray(), QByteArray(), "{\\rtf1 \\u-10179?\\u-9047?\\par}"});
    const QString out = folder.folder() + QStringLiteral("week.txt");
    const CliRun run = cli({QStringLiteral("export"), QStringLiteral("--folder"), folder.folder(), QStringLiteral("--slot"),
                            QStringLiteral("a"), QStringLiteral("--month"), QStringLiteral("1"), QStringLiteral("--year"),
                            QStringLiteral("2026"), out});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xD0\xC7\xC6\xDA\xD2\xBB\r\n\r\n"
                                         "\xD0\xC7\xC6\xDA\xB6\xFE\r\ntwo\r\nlines\r\n"
                                         "\xD0\xC7\xC6\xDA\xC8\xFD\r\n\r\n"
                                         "\xD0\xC7\xC6\xDA\xCB\xC4\r\n\r\n"
                                         "\xD0\xC7\xC6\xDA\xCE\xE5\r\n\r\n"
                                         "\xD0\xC7\xC6\xDA\xC1\xF9\r\n\x94\x39\xDA\x33\r\n"));
    const CliRun unwritable = cli({QStringLiteral("export"), QStringLiteral("--folder"), folder.folder(),
                                   QStringLiteral("--slot"), QStringLiteral("A"), QStringLiteral("--month"),
                                   QStringLiteral("1"), folder.folder() + QStringLiteral("none/x.txt")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("none/x.txt")));
}

TEST(Cli, CreateDatabaseNeverOverwrites)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("UserData.db"));
    EXPECT_EQ(cli({QStringLiteral("create-database"), path}).exitCode, 0);
    NotesDatabase dm;
    ASSERT_TRUE(dm.open(path));
    EXPECT_FALSE(dm.readWeek(5, QStringLiteral("20261")).has_value());
    EXPECT_EQ(cli({QStringLiteral("create-database"), path}).exitCode, 1);
}

TEST(Cli, PictureCommands)
{
    TAVI_REQUIRE_TESTDATA("images");
    QTemporaryDir dir;
    const QString jpeg = dir.filePath(QStringLiteral("Sea.JPG"));
    ASSERT_TRUE(QFile::copy(test::testDataDir() + QStringLiteral("/images/jpeg/good/hopper.jpg"), jpeg));
    const CliRun converted = cli({QStringLiteral("to-bmp"), jpeg});
    EXPECT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.out, dir.filePath(QStringLiteral("Sea.bmp")) + u'\n');
    EXPECT_EQ(cli({QStringLiteral("to-bmp"), dir.filePath(QStringLiteral("x.png"))}).exitCode, 1);

    const QString week = dir.filePath(QStringLiteral("week"));
    QDir().mkpath(week);
    QFile monday(week + QStringLiteral("/1.txt"));
    ASSERT_TRUE(monday.open(QIODevice::WriteOnly));
    monday.write("开会");
    monday.close();
    const QString content = dir.filePath(QStringLiteral("Content.bmp"));
    EXPECT_EQ(cli({QStringLiteral("content-picture"), week, content}).exitCode, 0);

    // hopper (128 x 128) is no taller than the content, so it is laid into the content picture.
    const QString mixed = dir.filePath(QStringLiteral("m.bmp"));
    EXPECT_EQ(cli({QStringLiteral("blend"), content, dir.filePath(QStringLiteral("Sea.bmp")), mixed}).exitCode, 0);
    EXPECT_EQ(QFileInfo(mixed).size(), 54 + 650 * 450 * 4);
    const CliRun sameSize = cli({QStringLiteral("blend"), content, content, mixed});
    EXPECT_EQ(sameSize.exitCode, 1);
    EXPECT_TRUE(sameSize.err.contains(QStringLiteral("50 pixels")));

    const QString wide = dir.filePath(QStringLiteral("wide.bmp"));
    EXPECT_EQ(cli({QStringLiteral("load-bmp"), content, wide}).exitCode, 0);
    EXPECT_EQ(QFileInfo(wide).size(), 54 + 650 * 450 * 4);
    const CliRun blended = cli({QStringLiteral("blend"), content, content, mixed, QStringLiteral("--weight"),
                                QStringLiteral("x")});
    EXPECT_EQ(blended.exitCode, 2);
}

TEST(Cli, ApplyWithoutAnyDesktopSaysWhyAndWhereThePictureIs)
{
    test::ProgramFolderFixture folder;
    Bitmap background(700, 480, 24);
    writeBmp(folder.folder() + QStringLiteral("source/DeskTopBG/A1.bmp"), background);
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "DBUS_SESSION_BUS_ADDRESS"})
        bare.remove(QString::fromLatin1(name));
    const CliRun run = cli({QStringLiteral("apply"), QStringLiteral("--folder"), folder.folder()}, bare);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("No way of setting the wallpaper worked"))) << run.err.toStdString();
    const QString mix = folder.folder() + QStringLiteral("source/DeskTopBG/Mix.bmp");
    EXPECT_TRUE(run.err.contains(mix));
    EXPECT_EQ(readBmp(mix).bitsPerPixel(), 24);
}

namespace {

QString legacyMdb()
{
    return test::testDataDir() + QStringLiteral("/mdb/UserData-legacy.mdb");
}

QByteArray sha256Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QStringList importArgs(const QString &folder, const QString &file, bool replace = false)
{
    QStringList args{QStringLiteral("import-mdb"), QStringLiteral("--folder"), folder, file};
    if (replace)
        args.insert(1, QStringLiteral("--replace"));
    return args;
}

} // namespace

TEST(CliImportMdb, EveryValueArrivesByteForByteAndTheWeekShowsIt)
{
    TAVI_REQUIRE_TESTDATA("mdb");
    QTemporaryDir dir; // a folder without Data/: the import makes the database
    const QByteArray sourceBefore = sha256Hex(test::readFileBytes(legacyMdb()));
    const CliRun run = cli(importArgs(dir.path(), legacyMdb()));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("tb_A: 2 rows, 13 values")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("tb_E: 0 rows, 0 values")));
    EXPECT_EQ(sha256Hex(test::readFileBytes(legacyMdb())), sourceBefore); // never changed

    const auto expected = test::readManifest(test::testDataDir() + QStringLiteral("/mdb/UserData-legacy.expected.tsv"));
    ASSERT_TRUE(expected && expected->size() == 36u);
    Database db(dir.path() + QStringLiteral("/Data/UserData.db"));
    for (const test::ManifestRow &value : *expected) {
        const QString where = value[QStringLiteral("table")] + u' ' + value[QStringLiteral("row")] + u' '
            + value[QStringLiteral("column")];
        Statement select(db, QStringLiteral("select YearMonthStr, %1 from %2 order by ID limit 1 offset %3")
                                 .arg(value[QStringLiteral("column")], value[QStringLiteral("table")],
                                      value[QStringLiteral("row")]));
        ASSERT_TRUE(select.next()) << where.toStdString();
        EXPECT_EQ(QString::fromUtf8(select.bytes(0)), value[QStringLiteral("YearMonthStr")]);
        if (value[QStringLiteral("kind")] == QLatin1String("NULL")) {
            EXPECT_TRUE(select.isNull(1)) << where.toStdString();
            continue;
        }
        ASSERT_FALSE(select.isNull(1)) << where.toStdString();
        EXPECT_EQ(select.bytes(1).size(), value[QStringLiteral("gbk_bytes")].toInt()) << where.toStdString();
        EXPECT_EQ(sha256Hex(select.bytes(1)), value[QStringLiteral("sha256_gbk")].toLatin1()) << where.toStdString();
    }

    // Through the program's own week load: every short note shows its expected
    // text, but of two rows with one key only the first.
    int checked = 0;
    for (const auto &[slot, month, year] : {std::tuple{"A", "6", "2026"}, {"A", "12", "2026"}, {"B", "6", "2026"},
                                            {"C", "6", "2026"}, {"D", "1", "2025"}}) {
        const CliRun week = cli({QStringLiteral("week"), QStringLiteral("--folder"), dir.path(), QStringLiteral("--slot"),
                                 QLatin1String(slot), QStringLiteral("--month"), QLatin1String(month),
                                 QStringLiteral("--year"), QLatin1String(year)});
        ASSERT_EQ(week.exitCode, 0);
        const QString key = QLatin1String(year) + QLatin1String(month);
        for (const test::ManifestRow &value : *expected) {
            const QString text = value[QStringLiteral("plain_text_escaped")];
            if (value[QStringLiteral("table")] != QStringLiteral("tb_") + QLatin1String(slot)
                || value[QStringLiteral("YearMonthStr")] != key || text.isEmpty() || text == QLatin1String("(long)"))
                continue;
            ++checked;
            const bool secondOfTwo = value[QStringLiteral("table")] == QLatin1String("tb_C")
                && value[QStringLiteral("row")] == QLatin1String("1");
            QString shown = text;
            shown.replace(QStringLiteral("\\n"), QStringLiteral("\n")).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
            EXPECT_EQ(week.out.contains(shown), !secondOfTwo) << shown.toStdString() << "\nin\n" << week.out.toStdString();
        }
    }
    EXPECT_EQ(checked, 13);
}

TEST(CliImportMdb, DamagedOrForeignFilesAreCleanErrorsThatWriteNothing)
{
    TAVI_REQUIRE_TESTDATA("mdb");
    QTemporaryDir dir;
    const QByteArray legacy = test::readFileBytes(legacyMdb());
    const std::pair<const char *, QByteArray> sources[] = {
        {"text.mdb", QByteArray("这不是数据库\r\n").repeated(500)},
        {"empty.mdb", QByteArray()},
        {"head.mdb", legacy.left(4096)},
        {"half.mdb", legacy.left(legacy.size() / 2)},
        {"catalog-gone.mdb", legacy.left(8192) + QByteArray(legacy.size() - 8192, '\xFF')},
    };
    for (const auto &[name, bytes] : sources) {
        const QString source = dir.filePath(QLatin1String(name));
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const QString target = dir.filePath(QStringLiteral("target-") + QLatin1String(name));
        const CliRun run = cli(importArgs(target, source));
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("tavi-cli: nothing imported: "))) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral("/Data/UserData.db"))) << name;
    }
    const CliRun missing = cli(importArgs(dir.path(), dir.filePath(QStringLiteral("none.mdb"))));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("none.mdb is not a file")));
    EXPECT_EQ(cli({QStringLiteral("import-mdb")}).exitCode, 2); // no file
}

TEST(CliImportMdb, ASecondImportIsRefusedUnlessItReplaces)
{
    TAVI_REQUIRE_TESTDATA("mdb");
    test::ProgramFolderFixture folder;
    ASSERT_EQ(cli(importArgs(folder.folder(), legacyMdb())).exitCode, 0);
    const auto rowCount = [&] {
        Database db(folder.databasePath());
        Statement count(db, QStringLiteral("select count(*) from tb_A"));
        count.next();
        return count.integer(0);
    };
    const CliRun refused = cli(importArgs(folder.folder(), legacyMdb()));
    EXPECT_EQ(refused.exitCode, 3);
    for (const char *key : {"tb_A 20266", "tb_A 202612", "tb_B 20266", "tb_C 20266", "tb_D 20251"})
        EXPECT_TRUE(refused.err.contains(QLatin1String(key))) << key;
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--replace")));
    EXPECT_EQ(rowCount(), 2);

    const CliRun replaced = cli(importArgs(folder.folder(), legacyMdb(), true));
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_TRUE(replaced.out.contains(QStringLiteral("replaced the notes of 5 months")));
    EXPECT_EQ(rowCount(), 2);
}
