#include "notes/DayNote.h"
#include "widgets/RichEdit.h"
#include "tests/TestData.h"

#include <gtest/gtest.h>

using namespace tavi;

namespace {

// What must survive a save and a load, character by character.
struct CharLook {
    QRgb colour; // 0 for the automatic colour
    bool bold, italic, underline;
    friend bool operator==(const CharLook &, const CharLook &) = default;
};

std::vector<CharLook> looks(const RtfDocument &doc)
{
    std::vector<CharLook> result;
    for (const RtfRun &run : doc.runs) {
        const RtfCharFormat &f = run.format;
        const CharLook look{f.color.isValid() ? f.color.rgba() : 0, f.bold, f.italic, f.underline};
        result.insert(result.end(), size_t(run.text.size()), look);
    }
    return result;
}

class RtfRoundTrip : public ::testing::TestWithParam<test::RtfCorpusEntry> {};

} // namespace

// Every corpus document, read into a box, written and read into a second box,
// keeps its text and each character's colour, weight, slant and underline.
TEST_P(RtfRoundTrip, WriteThenReadKeepsTextAndFormats)
{
    TAVI_REQUIRE_TESTDATA("rtf");
    ASSERT_FALSE(GetParam().expected.isEmpty()) << "no usable MANIFEST.tsv in " << test::rtfCorpusDir().toStdString();
    RichEdit original;
    original.setRichText(DayNote(test::readFileBytes(test::rtfCorpusDir() + u'/' + GetParam().rtf)).document());
    const RtfDocument before = original.richText();

    RichEdit copy;
    copy.setRichText(DayNote(original.rtf()).document());
    const RtfDocument after = copy.richText();

    ASSERT_EQ(after.plainText(), before.plainText());
    const std::vector<CharLook> expected = looks(before), actual = looks(after);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(actual[i], expected[i]) << "character " << i;
    EXPECT_EQ(copy.rtf(), original.rtf()); // a second save writes the same bytes
}

INSTANTIATE_TEST_SUITE_P(RtfCorpus, RtfRoundTrip, ::testing::ValuesIn(test::rtfCorpus()), test::corpusTestName);
