// Reads every BMP of the outside picture corpus and holds the result to what
// the corpus's MANIFEST.tsv expects (rules in the corpus's README.md).

#include "pictures/BmpReader.h"
#include "formats/ParseError.h"
#include "tests/TestData.h"

#include <QColor>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tavi::test::testDataDir;

struct BmpCase {
    QString file; // relative to images/; empty: the manifest could not be read
    QString expect;
    int tolerance = 0;
    QString reference;
    QString mask;
};

void PrintTo(const BmpCase &c, std::ostream *os)
{
    *os << c.file.toStdString();
}

QString imagesDir()
{
    return testDataDir() + QStringLiteral("/images/");
}

// The BMP rows of the manifest; one empty case when it cannot be read, so the suite fails.
std::vector<BmpCase> bmpCases()
{
    const auto rows = tavi::test::readManifest(imagesDir() + QStringLiteral("MANIFEST.tsv"));
    if (!rows)
        return {BmpCase{}};
    std::vector<BmpCase> cases;
    for (const auto &row : *rows) {
        const auto field = [&](const char *name) { return row.value(QLatin1String(name)); };
        if (field("format") == u"bmp")
            cases.push_back({field("file"), field("expect"), field("tolerance").toInt(), field("reference"),
                             field("mask")});
    }
    return cases.empty() ? std::vector<BmpCase>{BmpCase{}} : cases;
}

std::string caseName(const testing::TestParamInfo<BmpCase> &info)
{
    std::string name = info.param.file.isEmpty() ? "MANIFEST" : info.param.file.toStdString();
    if (name.starts_with("bmp/"))
        name.erase(0, 4);
    if (name.ends_with(".bmp"))
        name.resize(name.size() - 4);
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

// Empty when the picture matches the reference, else what differs.
std::string mismatch(const tavi::Bitmap &bitmap, const BmpCase &c)
{
    const QImage reference(imagesDir() + c.reference);
    if (reference.isNull())
        return "cannot load " + c.reference.toStdString();
    if (bitmap.width() != reference.width() || bitmap.height() != reference.height())
        return "size " + std::to_string(bitmap.width()) + "x" + std::to_string(bitmap.height()) + ", expected "
               + std::to_string(reference.width()) + "x" + std::to_string(reference.height());
    const QImage mask = c.mask.isEmpty() ? QImage() : QImage(imagesDir() + c.mask);
    if (!c.mask.isEmpty() && mask.size() != reference.size())
        return "cannot load " + c.mask.toStdString();
    int wrong = 0;
    std::string first;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            if (!mask.isNull() && qRed(mask.pixel(x, y)) != 255)
                continue;
            const QRgb got = bitmap.pixel(x, y);
            const QRgb want = reference.pixel(x, y);
            if (std::abs(qRed(got) - qRed(want)) <= c.tolerance && std::abs(qGreen(got) - qGreen(want)) <= c.tolerance
                && std::abs(qBlue(got) - qBlue(want)) <= c.tolerance)
                continue;
            if (wrong++ == 0)
                first = "(" + std::to_string(x) + "," + std::to_string(y) + ") is " + QColor(got).name().toStdString()
                        + ", expected " + QColor(want).name().toStdString();
        }
    }
    return wrong == 0 ? std::string() : std::to_string(wrong) + " pixels differ, first " + first;
}

class BmpConformance : public testing::TestWithParam<BmpCase> {};

TEST_P(BmpConformance, MeetsTheManifest)
{
    TAVI_REQUIRE_TESTDATA("images");
    const BmpCase &c = GetParam();
    ASSERT_FALSE(c.file.isEmpty()) << "no usable MANIFEST.tsv in " << imagesDir().toStdString();
    const QByteArray bytes = tavi::test::readFileBytes(imagesDir() + c.file);
    ASSERT_FALSE(bytes.isEmpty());
    tavi::Bitmap bitmap;
    try {
        bitmap = tavi::decodeBmp(bytes);
    } catch (const tavi::ParseError &error) {
        EXPECT_TRUE(c.expect != u"decode") << error.what();
        return;
    }
    if (c.expect == u"error")
        ADD_FAILURE() << "read without an error";
    else if (c.expect == u"decode" || c.expect == u"decode-or-error")
        EXPECT_EQ(mismatch(bitmap, c), "");
    else
        EXPECT_TRUE(c.expect == u"no-crash") << "unknown expectation " << c.expect.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BmpCorpus, BmpConformance, testing::ValuesIn(bmpCases()), caseName);

} // namespace
