#include "pictures/BmpReader.h"
#include "pictures/JpegCodec.h"
#include "formats/LineFile.h"
#include "wallpaper/ApplyToDesktop.h"
#include "backgrounds/BackgroundList.h"
#include "wallpaper/WeekPicture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

class ApplyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("source/DeskTopBG")));
        week[0] = QStringLiteral("开会");
    }
    QString picture(const QString &name) const { return folder + name; }
    void background(const QString &name, int width = 1280, int height = 768, std::uint8_t grey = 128)
    {
        Bitmap bg(width, height, 24);
        std::fill(bg.bits(), bg.bits() + bg.stride() * height, grey);
        writeBmp(picture(name), bg);
    }
    void setList(std::initializer_list<const char *> names)
    {
        list.entries.clear();
        for (const char *name : names)
            list.entries.append(QString::fromLatin1(name));
    }
    ApplyResult applyOrThrow()
    {
        return applyWeekToDesktop(week, list, folder, [this](const QString &path) {
            given.append(path);
            if (!setterWorks)
                throw WallpaperNotSet("nothing works here", path);
            return QStringLiteral("test setter");
        });
    }
    // Applies and gives the background used, or "failed".
    QString apply()
    {
        try {
            return QFileInfo(applyOrThrow().background).fileName();
        } catch (const std::exception &) {
            return QStringLiteral("failed");
        }
    }

    QTemporaryDir root;
    QString folder = root.path() + QStringLiteral("/source/DeskTopBG/");
    WeekTexts week;
    BackgroundList list;
    int &index = list.index;
    bool setterWorks = true;
    QStringList given;
};

} // namespace

TEST_F(ApplyTest, BackgroundsAreUsedFromTheLastDownToTheSecond)
{
    for (const char *name : {"A1.bmp", "b1.bmp", "b2.bmp", "b3.bmp"})
        background(QString::fromLatin1(name), 700, 480);
    setList({"A1.bmp", "b1.bmp", "b2.bmp", "b3.bmp"});
    index = 3;
    QStringList used;
    for (int i = 0; i < 5; ++i)
        used.append(apply());
    EXPECT_EQ(used, (QStringList{"b3.bmp", "b2.bmp", "b1.bmp", "b3.bmp", "b2.bmp"}));

    index = 0; // entry 0 only while the index is 0; then the last
    EXPECT_EQ(apply(), QStringLiteral("A1.bmp"));
    EXPECT_EQ(index, 3);
}

TEST_F(ApplyTest, AMissingBackgroundMovesTheIndexUpAndEndsTheApply)
{
    for (const char *name : {"A1.bmp", "b1.bmp", "b3.bmp"})
        background(QString::fromLatin1(name), 700, 480);
    setList({"A1.bmp", "b1.bmp", "b2.bmp", "b3.bmp"});
    index = 2;
    QStringList used;
    for (int i = 0; i < 4; ++i)
        used.append(apply());
    EXPECT_EQ(used, (QStringList{"failed", "b3.bmp", "failed", "b3.bmp"}));
    EXPECT_EQ(given.size(), 2);

    index = 3; // the last entry missing wraps to 1
    QFile::remove(picture(QStringLiteral("b3.bmp")));
    EXPECT_EQ(apply(), QStringLiteral("failed"));
    EXPECT_EQ(index, 1);

    // Entry 0 missing with index 0: nothing but Content.bmp, again and again.
    setList({"gone.bmp", "b1.bmp"});
    index = 0;
    QFile::remove(picture(QStringLiteral("Content.bmp")));
    EXPECT_EQ(apply(), QStringLiteral("failed"));
    EXPECT_EQ(apply(), QStringLiteral("failed"));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(QFile::exists(picture(QStringLiteral("Content.bmp"))));
}

TEST_F(ApplyTest, ListNamesFindTheirPicturesWithoutRegardToCase)
{
    background(QStringLiteral("Sea.bmp"), 700, 480);
    background(QStringLiteral("a\\b 12:30.bmp"), 700, 480);
    setList({"A1.bmp", "a\\B 12:30.BMP", "sea.bmp"});
    index = 2;
    EXPECT_EQ(apply(), QStringLiteral("Sea.bmp"));
    EXPECT_EQ(apply(), QStringLiteral("a\\b 12:30.bmp"));
}

TEST_F(ApplyTest, TheNotesLandInTheUpperRightOfA1280By768Background)
{
    background(QStringLiteral("A1.bmp"), 1280, 768, 128);
    setList({"A1.bmp"});
    ASSERT_NE(apply(), QStringLiteral("failed"));
    // The week's picture is written as it was drawn.
    EXPECT_EQ(readWholeFile(picture(QStringLiteral("Content.bmp"))), encodeBmp(drawWeekPicture(week)));
    const Bitmap result = readBmp(picture(QStringLiteral("Mix.bmp")));
    ASSERT_EQ(QSize(result.width(), result.height()), QSize(1280, 768));
    // Half-black text on the grey stands far above the JPEG's noise, which
    // stays within the 8 x 8 blocks the text touches.
    QRect changed;
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            if (std::abs(result.row(y)[3 * x] - 128) > 32)
                changed = changed.united(QRect(x, y, 1, 1));
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_TRUE(QRect(QPoint(576, 24), QPoint(1231, 487)).contains(changed)) << changed.left() << "," << changed.top()
                                                                            << " " << changed.right() << ","
                                                                            << changed.bottom();
}

TEST_F(ApplyTest, TheWallpaperIsTheJpegPassedBackTo24Bits)
{
    background(QStringLiteral("A1.bmp"), 1280, 768);
    setList({"A1.bmp"});
    ASSERT_NE(apply(), QStringLiteral("failed"));
    const QString mixBmp = picture(QStringLiteral("Mix.bmp"));
    ASSERT_EQ(given, QStringList{mixBmp});
    const Bitmap wallpaper = readBmp(mixBmp);
    EXPECT_EQ(wallpaper.bitsPerPixel(), 24);
    EXPECT_EQ(QSize(wallpaper.width(), wallpaper.height()), QSize(1280, 768));
    const QByteArray jpeg = readWholeFile(picture(QStringLiteral("Mix.Jpg")));
    EXPECT_TRUE(jpeg.contains("\xFF\xC0")); // baseline
    const Bitmap decoded = decodeJpeg(jpeg);
    EXPECT_TRUE(std::equal(decoded.bits(), decoded.bits() + decoded.stride() * decoded.height(), wallpaper.bits()));
}

TEST_F(ApplyTest, AJpegNamedInTheListGivesTheContentPictureAlone)
{
    Bitmap photo(800, 600, 24);
    writeFileAtomically(picture(QStringLiteral("photo.jpg")), encodeJpeg(photo));
    setList({"photo.jpg"});
    ASSERT_NE(apply(), QStringLiteral("failed"));
    const Bitmap wallpaper = readBmp(picture(QStringLiteral("Mix.bmp")));
    EXPECT_EQ(QSize(wallpaper.width(), wallpaper.height()), QSize(650, 450));

    setList({"notes.txt"});
    writeFileAtomically(picture(QStringLiteral("notes.txt")), "text");
    EXPECT_EQ(apply(), QStringLiteral("failed"));
}

TEST_F(ApplyTest, WhenNoSetterWorksTheIndexStaysAndThePictureIsNamed)
{
    background(QStringLiteral("A1.bmp"), 700, 480);
    background(QStringLiteral("b.bmp"), 700, 480);
    setList({"A1.bmp", "b.bmp"});
    index = 1;
    setterWorks = false;
    try {
        applyOrThrow();
        ADD_FAILURE() << "no error";
    } catch (const WallpaperNotSet &error) {
        EXPECT_EQ(error.picturePath, picture(QStringLiteral("Mix.bmp")));
        EXPECT_EQ(std::string(error.what()), "nothing works here");
    }
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(QFile::exists(picture(QStringLiteral("Mix.bmp"))));

    setList({});
    EXPECT_EQ(apply(), QStringLiteral("failed")); // an empty list has nothing to compose on
}
