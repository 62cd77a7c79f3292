// Decodes every GIF and JPEG file of the outside picture corpus and holds the
// result against the corpus's reference pictures (rules in its README.md);
// JPEGs must also equal libjpeg-turbo's own `djpeg -bmp` output exactly.

#include "pictures/Bitmap.h"
#include "pictures/GifDecoder.h"
#include "pictures/JpegCodec.h"
#include "formats/ParseError.h"
#include "tests/TestData.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tavi::test::readFileBytes;

QString imagesDir()
{
    return tavi::test::testDataDir() + QStringLiteral("/images/");
}

struct CorpusFile {
    QString format; // "gif" or "jpeg"
    QString file;   // paths relative to imagesDir()
    QString expect;
    int tolerance = 0;
    QString reference;
    QString mask;
    QString djpeg;
};

void PrintTo(const CorpusFile &entry, std::ostream *os)
{
    *os << entry.file.toStdString();
}

// The GIF and JPEG rows in the manifest's order. Without a manifest one entry
// naming none is returned, so that the suite fails rather than passing empty.
std::vector<CorpusFile> corpus()
{
    const std::vector<CorpusFile> missing{{QStringLiteral("MANIFEST.tsv"), {}, {}, 0, {}, {}, {}}};
    const auto rows = tavi::test::readManifest(imagesDir() + QStringLiteral("MANIFEST.tsv"));
    if (!rows)
        return missing;
    std::vector<CorpusFile> entries;
    for (const auto &row : *rows) {
        const auto field = [&](const char *name) { return row.value(QLatin1String(name)); };
        if (field("format") != u"gif" && field("format") != u"jpeg")
            continue;
        CorpusFile entry{field("format"), field("file"), field("expect"), field("tolerance").toInt(),
                         field("reference"), field("mask"), {}};
        for (const QString &extra : field("extra_refs").split(u';')) {
            if (extra.startsWith(u"jpeg/djpeg/"))
                entry.djpeg = extra;
        }
        entries.push_back(entry);
    }
    return entries.empty() ? missing : entries;
}

std::string testName(const testing::TestParamInfo<CorpusFile> &info)
{
    std::string name = (info.param.format + u'_' + info.param.file.section(u'/', -1)).toStdString();
    name = name.substr(0, name.rfind('.'));
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

// Counts the pixels where the picture differs from the reference by more than
// tolerance in a channel (pixels the mask clears are skipped) and describes the first.
int mismatches(const tavi::Bitmap &picture, const QImage &reference, const QImage &mask, int tolerance,
               std::string &first)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!mask.isNull() && qGray(mask.pixel(x, y)) != 255)
                continue;
            const QRgb got = picture.pixel(x, y);
            const QRgb want = reference.pixel(x, y);
            if (std::abs(qRed(got) - qRed(want)) <= tolerance && std::abs(qGreen(got) - qGreen(want)) <= tolerance
                && std::abs(qBlue(got) - qBlue(want)) <= tolerance)
                continue;
            if (count++ == 0)
                first = "at (" + std::to_string(x) + ", " + std::to_string(y) + ") got "
                        + QString::number(got & 0xFFFFFF, 16).toStdString() + ", want "
                        + QString::number(want & 0xFFFFFF, 16).toStdString();
        }
    }
    return count;
}

void expectPictureEquals(const tavi::Bitmap &picture, const QString &path, int tolerance, const QString &maskPath = {})
{
    const QImage reference(imagesDir() + path);
    ASSERT_FALSE(reference.isNull()) << "cannot read " << path.toStdString();
    ASSERT_EQ(picture.width(), reference.width()) << path.toStdString();
    ASSERT_EQ(picture.height(), reference.height()) << path.toStdString();
    QImage mask;
    if (!maskPath.isEmpty()) {
        mask.load(imagesDir() + maskPath);
        ASSERT_FALSE(mask.isNull()) << "cannot read " << maskPath.toStdString();
    }
    std::string first;
    EXPECT_EQ(mismatches(picture, reference, mask, tolerance, first), 0)
        << "against " << path.toStdString() << ", first " << first;
}

class PictureConformance : public testing::TestWithParam<CorpusFile> {};

TEST_P(PictureConformance, DecodesAsTheReferenceSays)
{
    TAVI_REQUIRE_TESTDATA("images");
    const CorpusFile &entry = GetParam();
    ASSERT_FALSE(entry.expect.isEmpty()) << "no usable MANIFEST.tsv in " << imagesDir().toStdString();
    const QByteArray bytes = readFileBytes(imagesDir() + entry.file);
    const bool jpeg = entry.format == u"jpeg";
    std::optional<tavi::Bitmap> picture;
    std::string error;
    try {
        picture = jpeg ? tavi::decodeJpeg(bytes) : tavi::decodeGif(bytes);
    } catch (const tavi::ParseError &e) {
        error = e.what();
        EXPECT_EQ(error.rfind(jpeg ? "JPEG: " : "GIF: ", 0), 0u) << error;
    }
    RecordProperty("outcome", picture ? "decoded" : error);
    if (entry.expect == u"no-crash")
        return;
    if (entry.expect == u"error") {
        EXPECT_FALSE(picture) << "decoded instead of failing";
        return;
    }
    if (!picture) {
        EXPECT_EQ(entry.expect, u"decode-or-error") << error;
        return;
    }
    expectPictureEquals(*picture, entry.reference, entry.tolerance, entry.mask);
    if (jpeg) {
        ASSERT_FALSE(entry.djpeg.isEmpty()) << "the manifest names no djpeg output";
        expectPictureEquals(*picture, entry.djpeg, 0);
        const bool greyscale = QImage(imagesDir() + entry.djpeg).format() == QImage::Format_Indexed8;
        EXPECT_EQ(picture->bitsPerPixel(), greyscale ? 8 : 24);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, PictureConformance, testing::ValuesIn(corpus()), testName);

} // namespace
