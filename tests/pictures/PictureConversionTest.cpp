// The background pictures' conversion to BMP: which paths it writes and
// what it does with each kind of file.

#include "pictures/PictureConversion.h"

#include "formats/LineFile.h"
#include "formats/ParseError.h"
#include "formats/TextCodec.h"
#include "tests/TestData.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using tavi::test::readFileBytes;

struct PathCase {
    const char *path;
    const char *name;
    const char *extension;
    const char *bmpPath;
};

// Only '/' separates folders: ':' and '\\' belong to the name. "運" is DF 5C
// in GBK, a byte-wise scan would take its second byte for a backslash.
const PathCase kPathCases[] = {
    {"/p/Sea.JPG", "Sea.JPG", ".JPG", "/p/Sea.bmp"},
    {"a.b.jpg", "a.b.jpg", ".jpg", "a.b.bmp"},
    {"/my.pics/sea", "sea", "", "/my.pics/sea.bmp"},
    {"/p/壁纸 12:30.jpg", "壁纸 12:30.jpg", ".jpg", "/p/壁纸 12:30.bmp"},
    {"/p/a:x.jpg", "a:x.jpg", ".jpg", "/p/a:x.bmp"},
    {"/p/my.pics\\sea", "my.pics\\sea", ".pics\\sea", "/p/my.bmp"},
    {"/p/.hidden", ".hidden", ".hidden", "/p/.bmp"},
    {"/p/sea.", "sea.", ".", "/p/sea.bmp"},
    {"", "", "", ".bmp"},
    {"/p/a.運", "a.運", ".運", "/p/a.bmp"},
    {"/p/運.gif", "運.gif", ".gif", "/p/運.bmp"},
};

TEST(BackgroundPaths, NameExtensionAndBmpPath)
{
    ASSERT_TRUE(tavi::encodeGbk(QStringLiteral("運")).endsWith('\\'));
    for (const PathCase &c : kPathCases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(tavi::fileNamePart(path), QString::fromUtf8(c.name)) << c.path;
        EXPECT_EQ(tavi::fileExtension(path), QString::fromUtf8(c.extension)) << c.path;
        EXPECT_EQ(tavi::bmpPathFor(path), QString::fromUtf8(c.bmpPath)) << c.path;
    }
}

class convertToBmp : public testing::Test {
protected:
    QTemporaryDir dir;

    QString place(const QString &name, const QString &corpusFile)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(readFileBytes(tavi::test::testDataDir() + QStringLiteral("/images/") + corpusFile));
        return path;
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

// The bits per pixel a BMP file's header gives.
int bmpBitCount(const QString &path)
{
    const QByteArray bytes = readFileBytes(path);
    return bytes.size() > 29 ? std::uint8_t(bytes[28]) | std::uint8_t(bytes[29]) << 8 : -1;
}

TEST_F(convertToBmp, BmpIsTakenAsItIs)
{
    for (const char *name : {"Sea.bmp", "Sea.BMP", "missing.Bmp"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_EQ(tavi::convertToBmp(path), path);
    }
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(convertToBmp, OtherKindsGiveNothing)
{
    TAVI_REQUIRE_TESTDATA("images");
    for (const char *name : {"Sea.png", "Sea.jpe", "Sea.tif", "Sea"}) {
        const QString path = place(QString::fromLatin1(name), QStringLiteral("jpeg/good/testorig.jpg"));
        EXPECT_EQ(tavi::convertToBmp(path), QString()) << name;
    }
    EXPECT_EQ(files(), (QStringList{"Sea", "Sea.jpe", "Sea.png", "Sea.tif"}));
}

TEST_F(convertToBmp, JpegReplacesAnOlderBmpAndKeepsTheSource)
{
    TAVI_REQUIRE_TESTDATA("images");
    const QString source = place(QStringLiteral("Sea.jpg"), QStringLiteral("jpeg/good/testorig.jpg"));
    const QByteArray sourceBytes = readFileBytes(source);
    QFile old(dir.filePath(QStringLiteral("Sea.bmp")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older picture");
    old.close();

    EXPECT_EQ(tavi::convertToBmp(source), dir.filePath(QStringLiteral("Sea.bmp")));
    EXPECT_EQ(readFileBytes(source), sourceBytes);
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("Sea.bmp")), "BMP").size(), QSize(227, 149));
    EXPECT_EQ(bmpBitCount(dir.filePath(QStringLiteral("Sea.bmp"))), 24);
    EXPECT_EQ(files(), (QStringList{"Sea.bmp", "Sea.jpg"}));
}

TEST_F(convertToBmp, EachKindByItsExtensionInAnyCase)
{
    TAVI_REQUIRE_TESTDATA("images");
    const struct {
        const char *name, *corpusFile, *written;
        int depth;
    } cases[] = {
        {"Grey.JPEG", "jpeg/good/hopper_gray.jpg", "Grey.bmp", 8},
        {"Anim.GIF", "gif/good/chi.gif", "Anim.bmp", 8},
        {"運.gif", "gif/good/hopper.gif", "運.bmp", 8},
    };
    for (const auto &c : cases) {
        const QString source = place(QString::fromUtf8(c.name), QString::fromLatin1(c.corpusFile));
        const QString written = dir.filePath(QString::fromUtf8(c.written));
        EXPECT_EQ(tavi::convertToBmp(source), written);
        EXPECT_EQ(bmpBitCount(written), c.depth) << c.name;
        EXPECT_EQ(QImage(written, "BMP").size(), QImage(source).size()) << c.name;
    }
}

TEST_F(convertToBmp, FailuresWriteNothing)
{
    TAVI_REQUIRE_TESTDATA("images");
    const QString disguised = place(QStringLiteral("Photo.gif"), QStringLiteral("jpeg/good/testorig.jpg"));
    EXPECT_THROW(tavi::convertToBmp(disguised), tavi::ParseError);
    try {
        tavi::jpegToBmp(dir.filePath(QStringLiteral("missing.jpg")));
        ADD_FAILURE() << "a missing file converted";
    } catch (const tavi::FileError &e) {
        EXPECT_NE(std::string(e.what()).find("missing.jpg"), std::string::npos) << e.what();
    }
    // Converting a file already named .bmp would overwrite it.
    const QString bmpNamed = place(QStringLiteral("Real.bmp"), QStringLiteral("jpeg/good/testorig.jpg"));
    EXPECT_THROW(tavi::jpegToBmp(bmpNamed), tavi::FileError);
    EXPECT_EQ(files(), (QStringList{"Photo.gif", "Real.bmp"}));
    EXPECT_EQ(readFileBytes(bmpNamed), readFileBytes(tavi::test::testDataDir() + "/images/jpeg/good/testorig.jpg"));
}

} // namespace
