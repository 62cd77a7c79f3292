#include "storage/AccessFile.h"
#include "formats/ParseError.h"
#include "tests/TestData.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

QString legacyFixture()
{
    return test::testDataDir() + QStringLiteral("/mdb/UserData-legacy.mdb");
}

const AccessTable *tableNamed(const AccessDump &dump, const char *name)
{
    for (const AccessTable &table : dump.tables)
        if (table.name == QLatin1String(name))
            return &table;
    return nullptr;
}

} // namespace

TEST(JetText, CompressedUncompressedAndMixed)
{
    EXPECT_EQ(decodeJetText(QByteArray("\xFF\xFE" "20266", 7)), QStringLiteral("20266"));
    // UCS-2 little-endian: 周一
    EXPECT_EQ(decodeJetText(QByteArray("\x68\x54\x00\x4E", 4)), QStringLiteral("周一"));
    // Compressed "a", switch, 周, switch back, "b".
    EXPECT_EQ(decodeJetText(QByteArray("\xFF\xFE" "a\x00\x68\x54\x00" "b", 8)), QStringLiteral("a周b"));
    EXPECT_EQ(decodeJetText(QByteArray()), QString());
    EXPECT_EQ(decodeJetText(QByteArray("\xFF\xFE", 2)), QString());
    EXPECT_THROW(decodeJetText(QByteArray("\x68\x54\x00", 3)), ParseError);
    EXPECT_THROW(decodeJetText(QByteArray("\xFF\xFE\x00\x68", 4)), ParseError); // ends inside a character
}

TEST(AccessDump, RoundTripsAndRejectsEveryDamagedForm)
{
    AccessDump dump;
    dump.tables.push_back({QStringLiteral("tb_A"),
                           {{QStringLiteral("YearMonthStr"), kAccessTextType}, {QStringLiteral("Count"), 4},
                            {QStringLiteral("MondayCon"), kAccessMemoType}},
                           {{QByteArray("k1"), std::nullopt, QByteArray("")},
                            {std::nullopt, std::nullopt, QByteArray(70000, 'x')}}});
    dump.tables.push_back({QStringLiteral("空"), {}, {}});
    const QByteArray bytes = serializeAccessDump(dump);
    const AccessDump back = parseAccessDump(bytes);
    ASSERT_EQ(back.tables.size(), 2u);
    EXPECT_EQ(back.tables[0].columns[2].name, QStringLiteral("MondayCon"));
    EXPECT_EQ(back.tables[0].columns[1].type, 4);
    EXPECT_EQ(back.tables[0].rows, dump.tables[0].rows);
    EXPECT_EQ(back.tables[1].name, QStringLiteral("空"));

    // Every shortened stream is an error, never a shorter table.
    for (qsizetype size = 0; size < bytes.size(); size += (size < 200 ? 1 : 997))
        EXPECT_THROW(parseAccessDump(bytes.left(size)), ParseError) << size;
    EXPECT_THROW(parseAccessDump(bytes + 'X'), ParseError);
    QByteArray huge = bytes;
    huge[bytes.indexOf("tb_A") - 1] = '\x7F'; // a name length far past the end
    EXPECT_THROW(parseAccessDump(huge), ParseError);
}

TEST(AccessFile, ReadsTheLegacyNotesWithNullsEmptiesAndLongMemosWhole)
{
    TAVI_REQUIRE_TESTDATA("mdb");
    const AccessDump dump = readAccessFile(legacyFixture());
    for (const char *name : {"tb_A", "tb_B", "tb_C", "tb_D", "tb_E"})
        ASSERT_NE(tableNamed(dump, name), nullptr) << name;
    const AccessTable &a = *tableNamed(dump, "tb_A");
    ASSERT_EQ(a.columns.size(), 7u);
    EXPECT_EQ(a.columns[0].type, kAccessTextType);
    EXPECT_EQ(a.columns[3].type, kAccessMemoType);
    ASSERT_EQ(a.rows.size(), 2u);
    EXPECT_EQ(decodeJetText(*a.rows[0][0]), QStringLiteral("20266"));
    EXPECT_GT(decodeJetText(*a.rows[0][3]).size(), 190000); // the memo spread over many pages
    EXPECT_FALSE(a.rows[0][4].has_value());                 // NULL
    ASSERT_TRUE(a.rows[0][5].has_value());                  // empty, not NULL
    EXPECT_TRUE(decodeJetText(*a.rows[0][5]).isEmpty());
    EXPECT_TRUE(tableNamed(dump, "tb_E")->rows.empty());
    EXPECT_EQ(tableNamed(dump, "MSysObjects"), nullptr); // system tables are left out
}

TEST(AccessFile, ContainedReadingTurnsEveryFailureOfTheReaderIntoAnError)
{
    const auto failure = [](const QString &script, int timeoutMs = 20000) {
        try {
            readAccessFileContained(QStringLiteral("sh"), {QStringLiteral("-c"), script, QStringLiteral("reader")},
                                    QStringLiteral("/some/file.mdb"), timeoutMs);
        } catch (const ParseError &error) {
            return QString::fromUtf8(error.what());
        }
        return QStringLiteral("(no error)");
    };
    EXPECT_TRUE(failure(QStringLiteral("kill -SEGV $$")).contains(QStringLiteral("crashed")));
    EXPECT_TRUE(failure(QStringLiteral("sleep 30"), 300).contains(QStringLiteral("took too long")));
    EXPECT_EQ(failure(QStringLiteral("echo warning >&2; echo 'the file is odd' >&2; exit 1")),
              QStringLiteral("the file is odd"));
    EXPECT_TRUE(failure(QStringLiteral("echo junk")).contains(QStringLiteral("not a table dump")));
    EXPECT_TRUE(failure(QStringLiteral("printf 'TAVI-ACCESS-DUMP 1\\nT'")).contains(QStringLiteral("ends early")));
    EXPECT_THROW(readAccessFileContained(QStringLiteral("/no/such/reader"), {}, QStringLiteral("/f.mdb")), ParseError);
}

TEST(AccessFile, FilesThatAreNotAccessDatabasesAreRefused)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("notes.mdb"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'j'));
    file.close();
    EXPECT_THROW(readAccessFile(junk), ParseError);
    EXPECT_THROW(readAccessFile(dir.path()), ParseError);
    EXPECT_THROW(readAccessFile(dir.filePath(QStringLiteral("missing.mdb"))), ParseError);
}
