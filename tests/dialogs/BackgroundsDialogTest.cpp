#include "backgrounds/BackgroundList.h"
#include "dialogs/BackgroundsDialog.h"
#include "pictures/BmpReader.h"
#include "pictures/JpegCodec.h"
#include "pictures/PictureConversion.h"
#include "formats/LineFile.h"
#include "tests/support/NotesFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

class BackgroundsDialogTest : public ::testing::Test {
protected:
    QString pictures() const { return folder.folder() + QStringLiteral("source/DeskTopBG/"); }
    QString listPath() const { return folder.folder() + QStringLiteral("Data/BGPicList.ini"); }
    QByteArray list() const
    {
        QFile file(listPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void setList(const QByteArray &bytes) { writeFileAtomically(listPath(), bytes); }
    QString outside(const QString &name) const { return elsewhere.filePath(name); }
    void bmp(const QString &path, int width, int height)
    {
        Bitmap picture(width, height, 24);
        picture.row(0)[0] = 9;
        writeBmp(path, picture);
    }
    void add(const QString &chosen)
    {
        dialogs.openAnswers = {chosen};
        frm.add();
    }
    void select(const QString &name)
    {
        const auto found = frm.pictureList()->findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << name.toStdString();
        found.last()->setSelected(true);
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto &shown : dialogs.shown)
            if (shown.kind == QLatin1String("message"))
                texts.append(shown.text);
        return texts;
    }

    test::ProgramFolderFixture folder;
    QTemporaryDir elsewhere;
    test::FakeDialogs dialogs;
    BackgroundsDialog frm{folder.folder(), dialogs};
};

} // namespace

TEST_F(BackgroundsDialogTest, TheWindowAndItsControls)
{
    EXPECT_EQ(frm.windowTitle(), QStringLiteral("背景图片选择"));
    EXPECT_EQ(frm.size(), QSize(524, 286));
    EXPECT_TRUE(frm.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(frm.isModal());
    EXPECT_EQ(frm.removeButton()->text(), QStringLiteral("移  除"));
    EXPECT_EQ(frm.addButton()->text(), QStringLiteral("添  加"));
    EXPECT_EQ(frm.okButton()->text(), QStringLiteral("确  定"));
    EXPECT_EQ(frm.removeButton()->nextInFocusChain(), frm.addButton());
    EXPECT_EQ(frm.addButton()->nextInFocusChain(), frm.okButton());
    EXPECT_EQ(frm.hint()->text(), QStringLiteral("注：可添加多个壁纸大 小1024*768/1400*900之间") + QString(36, u' ')
                                      + QStringLiteral("图像格式：") + QString(28, u' ') + QStringLiteral("BMP,JPG"));
    QListWidget *list = frm.pictureList();
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(list->font().pixelSize(), 12);
}

TEST_F(BackgroundsDialogTest, FillingFromTheListFile)
{
    frm.fillList();
    EXPECT_EQ(list(), QByteArray("A1.bmp\r\nA1.bmp\r\n"));
    EXPECT_EQ(frm.currentPicture(), QStringLiteral("A1.bmp"));
    EXPECT_EQ(frm.entries(), QStringList{QStringLiteral("A1.bmp")});

    setList("B.bmp\nA1.bmp\n\nB.bmp");
    frm.fillList();
    EXPECT_EQ(frm.currentPicture(), QStringLiteral("B.bmp"));
    EXPECT_EQ(frm.entries(), (QStringList{"A1.bmp", "", "B.bmp"}));

    setList(""); // no lines: what the window had stays
    frm.fillList();
    EXPECT_EQ(frm.currentPicture(), QStringLiteral("B.bmp"));
    EXPECT_EQ(frm.entries().size(), 3);

    setList("A1.bmp\r\n");
    frm.fillList();
    EXPECT_TRUE(frm.entries().isEmpty());
}

TEST_F(BackgroundsDialogTest, AddingAJpegConvertsItBesideItsCopy)
{
    frm.fillList();
    Bitmap photo(64, 48, 24);
    writeFileAtomically(outside(QStringLiteral("Sea.JPG")), encodeJpeg(photo));
    add(outside(QStringLiteral("Sea.JPG")));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(QFile::exists(pictures() + QStringLiteral("Sea.JPG")));
    EXPECT_TRUE(QFile::exists(pictures() + QStringLiteral("Sea.bmp")));
    EXPECT_EQ(frm.entries(), (QStringList{"A1.bmp", "Sea.bmp"}));
    EXPECT_EQ(list(), QByteArray("A1.bmp\r\nA1.bmp\r\nSea.bmp\r\n"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("(*.Bmp; *.JPG; *Gif)|*.bmp; *.jpg; *.jpeg; *.gif"));

    // The same file again: a second entry of the same name.
    add(outside(QStringLiteral("Sea.JPG")));
    EXPECT_EQ(frm.entries(), (QStringList{"A1.bmp", "Sea.bmp", "Sea.bmp"}));
}

TEST_F(BackgroundsDialogTest, WidePicturesAreStretchedTo1280By768)
{
    frm.fillList();
    bmp(outside(QStringLiteral("big.bmp")), 1600, 1200);
    bmp(outside(QStringLiteral("tall.bmp")), 1280, 1024);
    add(outside(QStringLiteral("big.bmp")));
    add(outside(QStringLiteral("tall.bmp")));
    const Bitmap big = readBmp(pictures() + QStringLiteral("big.bmp"));
    EXPECT_EQ(QSize(big.width(), big.height()), QSize(1280, 768));
    EXPECT_EQ(readWholeFile(pictures() + QStringLiteral("tall.bmp")), readWholeFile(outside(QStringLiteral("tall.bmp"))));
    EXPECT_EQ(frm.entries(), (QStringList{"A1.bmp", "big.bmp", "tall.bmp"}));
}

TEST_F(BackgroundsDialogTest, FailedAddsShowTheirMessageAndChangeNothing)
{
    frm.fillList();
    const QByteArray before = list();
    struct Case {
        QString chosen;
        QString message;
    };
    writeFileAtomically(outside(QStringLiteral("X.png")), "png");
    writeFileAtomically(outside(QStringLiteral("broken.jpg")), "\xFF\xD8 not really a JPEG");
    writeFileAtomically(outside(QStringLiteral("broken.bmp")), "BM but nothing else");
    const Case cases[] = {
        {outside(QStringLiteral("X.png")), QStringLiteral("添加背景图片异常，请重试！")},
        {outside(QStringLiteral("broken.jpg")), QStringLiteral("添加失败，请重试！")},
        {outside(QStringLiteral("broken.bmp")), QStringLiteral("添加背景图片异常，请重试！")},
        {outside(QStringLiteral("missing.bmp")), QStringLiteral("添加背景图片异常，请重试！")},
        {outside(QStringLiteral("missing.jpg")), QStringLiteral("添加失败，请重试！")},
    };
    for (const Case &c : cases) {
        dialogs.shown.clear();
        add(c.chosen);
        EXPECT_EQ(messages(), QStringList{c.message}) << c.chosen.toStdString();
    }
    EXPECT_TRUE(QFile::exists(pictures() + QStringLiteral("X.png")));      // copies stay behind
    EXPECT_TRUE(QFile::exists(pictures() + QStringLiteral("broken.jpg")));
    EXPECT_EQ(frm.entries(), QStringList{QStringLiteral("A1.bmp")});
    EXPECT_EQ(list(), before);

    // Cancel and an empty name do nothing at all.
    dialogs.shown.clear();
    add(QString());
    dialogs.openAnswers = {std::nullopt};
    frm.add();
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(BackgroundsDialogTest, AddingAPictureAlreadyInTheFolderKeepsIt)
{
    frm.fillList();
    bmp(pictures() + QStringLiteral("here.bmp"), 100, 80);
    add(pictures() + QStringLiteral("here.bmp"));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(readBmp(pictures() + QStringLiteral("here.bmp")).width(), 100);
    EXPECT_EQ(frm.entries().last(), QStringLiteral("here.bmp"));
}

TEST_F(BackgroundsDialogTest, Remove)
{
    setList("B.bmp\nA1.bmp\nB.bmp\nC.bmp\n"); // LF only: a rewrite shows as CR LF
    frm.fillList();
    frm.remove(); // nothing selected
    EXPECT_EQ(list(), QByteArray("B.bmp\nA1.bmp\nB.bmp\nC.bmp\n"));

    select(QStringLiteral("A1.bmp"));
    frm.remove(); // A1.bmp stays, the file is written all the same
    EXPECT_EQ(list(), QByteArray("B.bmp\r\nA1.bmp\r\nB.bmp\r\nC.bmp\r\n"));

    frm.pictureList()->clearSelection();
    select(QStringLiteral("B.bmp"));
    frm.remove(); // the current background goes: A1.bmp becomes current
    EXPECT_EQ(frm.currentPicture(), QStringLiteral("A1.bmp"));
    EXPECT_EQ(list(), QByteArray("A1.bmp\r\nA1.bmp\r\nC.bmp\r\n"));
}

TEST_F(BackgroundsDialogTest, OkWritesOnlyANewChoice)
{
    setList("B.bmp\nA1.bmp\nB.bmp\nC.bmp\n");
    frm.fillList();
    frm.confirm(); // nothing selected
    EXPECT_EQ(frm.result(), QDialog::Accepted);
    EXPECT_EQ(list(), QByteArray("B.bmp\nA1.bmp\nB.bmp\nC.bmp\n"));
    select(QStringLiteral("B.bmp"));
    frm.confirm(); // the current one
    EXPECT_EQ(list(), QByteArray("B.bmp\nA1.bmp\nB.bmp\nC.bmp\n"));
    frm.pictureList()->clearSelection();
    select(QStringLiteral("C.bmp"));
    frm.confirm();
    EXPECT_EQ(frm.currentPicture(), QStringLiteral("C.bmp"));
    EXPECT_EQ(list(), QByteArray("C.bmp\r\nA1.bmp\r\nB.bmp\r\nC.bmp\r\n"));
}

TEST(ResizePicture, NearestPixelsWithoutBlending)
{
    QTemporaryDir dir;
    Bitmap picture(4, 2, 24);
    for (int x = 0; x < 4; ++x) {
        picture.row(0)[3 * x] = std::uint8_t(10 * (x + 1)); // blue 10, 20, 30, 40 on the top row
        picture.row(1)[3 * x] = std::uint8_t(100 + x);
    }
    const QString path = dir.filePath(QStringLiteral("p.bmp"));
    writeBmp(path, picture);
    resizePicture(path, path, 2, 1);
    const Bitmap small = readBmp(path);
    ASSERT_EQ(QSize(small.width(), small.height()), QSize(2, 1));
    EXPECT_EQ(small.bitsPerPixel(), 24);
    EXPECT_EQ(qBlue(small.pixel(0, 0)), 10);
    EXPECT_EQ(qBlue(small.pixel(1, 0)), 30);
    resizePicture(path, path, 4, 3); // and growing repeats pixels
    const Bitmap grown = readBmp(path);
    EXPECT_EQ(qBlue(grown.pixel(1, 2)), 10);
    EXPECT_EQ(qBlue(grown.pixel(2, 2)), 30);
}

TEST_F(BackgroundsDialogTest, CloseButtonPicturesFollowTheMouseAndCloseOnRelease)
{
    frm.show();
    EXPECT_TRUE(frm.closePicture(0)->isVisible());
    QMouseEvent over(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(frm.closePicture(0), &over);
    EXPECT_TRUE(frm.closePicture(1)->isVisible());
    EXPECT_FALSE(frm.closePicture(0)->isVisible());
    QTest::mousePress(frm.closePicture(1), Qt::LeftButton);
    EXPECT_TRUE(frm.closePicture(2)->isVisible());
    QTest::mouseRelease(frm.closePicture(2), Qt::LeftButton);
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(frm.result(), QDialog::Rejected);
    EXPECT_TRUE(frm.closePicture(0)->isVisibleTo(&frm));
}
