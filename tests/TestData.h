#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tavi::test {

// Folder of the outside test data (rtf/, images/, mdb/); TAVI_TESTDATA overrides it.
QString testDataDir();

// Empty when the outside test data has the folder `subfolder` ("rtf", "images"
// or "mdb"), else one line saying where it was looked for and how to point elsewhere.
std::string missingTestData(const char *subfolder);

// Skips the calling test when the data it reads is not there, so that a clone
// without the outside test data still runs everything else.
#define TAVI_REQUIRE_TESTDATA(subfolder)                                                   \
    do {                                                                                   \
        if (const std::string why = ::tavi::test::missingTestData(subfolder); !why.empty())\
            GTEST_SKIP() << why;                                                           \
    } while (false)

// The rows of a tab-separated manifest whose first line names the columns,
// each a map from column name to its trimmed field; nothing when the file
// cannot be read.
using ManifestRow = QHash<QString, QString>;
std::optional<std::vector<ManifestRow>> readManifest(const QString &path);

// One document of the RTF corpus as rtf/MANIFEST.tsv lists it.
struct RtfCorpusEntry {
    QString rtf;      // file names, relative to rtfCorpusDir()
    QString expected;
    QString alt;      // empty: only the expected reading is right
    bool collapseWhitespace = false; // check mode "ws"
};

QString rtfCorpusDir();
// The document's name as a test name: "rtfpipe-Issue23.rtf" gives "rtfpipe_Issue23".
std::string corpusTestName(const testing::TestParamInfo<RtfCorpusEntry> &info);
void PrintTo(const RtfCorpusEntry &entry, std::ostream *os);

// The corpus in the manifest's order. A missing or empty manifest gives one
// entry without an expected file, so that the suite fails instead of passing
// empty (it is skipped only when rtf/ itself is missing).
std::vector<RtfCorpusEntry> rtfCorpus();

// Reads a whole file; fails the calling test (and returns empty) when it cannot.
QByteArray readFileBytes(const QString &path);

} // namespace tavi::test
