// Reads every document of the outside RTF corpus into a day box and compares its plain text
// with the text other readers agree on (rules in the corpus's README.md).

#include "notes/DayNote.h"
#include "tests/TestData.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tavi::test::readFileBytes;
using tavi::test::testDataDir;

// Bytes of a stored note as a day box shows them.
QString plainTextOf(const QByteArray &bytes)
{
    return tavi::DayNote(bytes).plainText();
}

// The comparison rules of the corpus: line ends unified, BOM, NULs and trailing
// line ends dropped; in "ws" mode every run of white space counts as one blank.
QString normalised(const QString &text, bool collapseWhitespace)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == 0xFEFF || c == 0)
            continue;
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u'\n';
        } else if (c == 0x0B || c == 0x2028 || c == 0x2029) {
            out += u'\n';
        } else {
            out += QChar(c);
        }
    }
    while (out.endsWith(u'\n'))
        out.chop(1);
    if (!collapseWhitespace)
        return out;
    QString collapsed;
    collapsed.reserve(out.size());
    bool inSpace = false;
    for (const QChar c : out) {
        if (c.isSpace()) {
            if (!inSpace)
                collapsed += u' ';
            inSpace = true;
        } else {
            collapsed += c;
            inSpace = false;
        }
    }
    return collapsed;
}

class RtfConformance : public testing::TestWithParam<tavi::test::RtfCorpusEntry> {};

TEST_P(RtfConformance, PlainTextMatches)
{
    TAVI_REQUIRE_TESTDATA("rtf");
    const tavi::test::RtfCorpusEntry &file = GetParam();
    ASSERT_FALSE(file.expected.isEmpty()) << "no usable MANIFEST.tsv in " << tavi::test::rtfCorpusDir().toStdString();
    const QString dir = tavi::test::rtfCorpusDir() + u'/';
    const bool ws = file.collapseWhitespace;
    const QString actual = normalised(plainTextOf(readFileBytes(dir + file.rtf)), ws);
    const QString expected = normalised(QString::fromUtf8(readFileBytes(dir + file.expected)), ws);
    if (actual == expected)
        return;
    if (!file.alt.isEmpty()) {
        const QString alt = normalised(QString::fromUtf8(readFileBytes(dir + file.alt)), ws);
        if (actual == alt)
            return;
    }
    ADD_FAILURE() << "read:\n" << actual.toStdString() << "\nexpected:\n" << expected.toStdString();
}

INSTANTIATE_TEST_SUITE_P(RtfCorpus, RtfConformance, testing::ValuesIn(tavi::test::rtfCorpus()),
                         tavi::test::corpusTestName);

} // namespace
