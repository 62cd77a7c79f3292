#include "dialogs/BackgroundsDialog.h"

#include "backgrounds/BackgroundList.h"
#include "pictures/PictureConversion.h"
#include "pictures/BmpReader.h"
#include "platform/Dialogs.h"
#include "widgets/EventHook.h"
#include "formats/LineFile.h"
#include "formats/ParseError.h"
#include "platform/ProgramFolder.h"
#include "widgets/Skin.h"
#include "widgets/WindowMove.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

namespace tavi {
namespace {

constexpr int kMaxPictureWidth = 1280;
constexpr int kResizedHeight = 768;

QFont pixelFont(const QString &family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

// Copies a file over target as the file system's copy would; the outcome is
// left for the conversion to find. A file copied onto itself stays as it is.
void copyReplacing(const QString &source, const QString &target)
{
    const QFileInfo from(source), to(target);
    if (to.exists() && from.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return;
    try {
        writeFileAtomically(target, readWholeFile(source));
    } catch (const FileError &) {
        // not looked at: a missing target shows up as a failed conversion or load
    }
}


} // namespace

void ResizePic(const QString &source, const QString &target, int width, int height)
{
    const Bitmap picture = readBmp(source);
    Bitmap stretched(width, height, 24);
    for (int y = 0; y < height; ++y) {
        const int sourceY = int(std::int64_t(y) * picture.height() / height);
        std::uint8_t *out = stretched.row(y);
        for (int x = 0; x < width; ++x, out += 3) {
            const QRgb colour = picture.pixel(int(std::int64_t(x) * picture.width() / width), sourceY);
            out[0] = std::uint8_t(qBlue(colour));
            out[1] = std::uint8_t(qGreen(colour));
            out[2] = std::uint8_t(qRed(colour));
        }
    }
    writeBmp(target, stretched);
}

TPicSelFrm::TPicSelFrm(const QString &programFolder, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), programFolder_(programFolder),
      pictureFolder_(resolvePath(programFolder, QStringLiteral("source\\DeskTopBG\\")) + u'/'), dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("背景图片选择"));
    setFixedSize(524, 286);
    setModal(true);

    // The background picture: pressing on it moves the window.
    imgBG = new QLabel(this);
    imgBG->setGeometry(rect());
    imgBG->setAutoFillBackground(true);
    QPalette background = imgBG->palette();
    background.setColor(QPalette::Window, kSkinLight.lighter(106));
    imgBG->setPalette(background);
    new WindowMove(imgBG);

    imgLogo = new QLabel(this);
    imgLogo->setPixmap(programLogo(QSize(150, 32)));
    imgLogo->setGeometry(10, 4, 150, 32);

    // The close button: highlighted under the mouse, down while pressed, closing on release.
    static const char *const states[] = {"img_close_normal", "img_close_highlight", "img_close_down"};
    for (int state = 0; state < 3; ++state) {
        auto *picture = new QLabel(this);
        picture->setObjectName(QLatin1String(states[state]));
        picture->setPixmap(captionPicture(CaptionButton::Close, state, QSize(39, 20)));
        picture->setGeometry(width() - 39, 0, 39, 20);
        picture->setToolTip(QStringLiteral("关闭"));
        closePictures_[std::size_t(state)] = picture;
    }
    closePictures_[0]->setMouseTracking(true);
    imgBG->setMouseTracking(true);
    onEvent(imgBG, QEvent::MouseMove, [this] { showClosePicture(0); });
    onEvent(closePictures_[0], QEvent::MouseMove, [this] { showClosePicture(1); });
    onEvent(closePictures_[1], QEvent::MouseButtonPress, [this] { showClosePicture(2); });
    for (int state : {1, 2}) {
        onClick(closePictures_[std::size_t(state)], [this] {
            showClosePicture(0);
            img_close_highlightClick();
        });
    }
    showClosePicture(0);

    auto *Shape1 = new QFrame(this);
    Shape1->setGeometry(14, 40, 322, 230);
    Shape1->setStyleSheet(QStringLiteral("border: 1px solid rgb(64, 128, 128);"));

    LVpic = new QListWidget(this);
    LVpic->setObjectName(QStringLiteral("LVpic"));
    LVpic->setGeometry(15, 41, 320, 228);
    LVpic->setFrameShape(QFrame::NoFrame);
    LVpic->setSelectionMode(QAbstractItemView::SingleSelection);
    LVpic->setSelectionBehavior(QAbstractItemView::SelectRows);
    LVpic->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVpic->setFont(pixelFont(QStringLiteral("宋体"), 12));

    lblTishi = new QLabel(this);
    lblTishi->setObjectName(QStringLiteral("lblTishi"));
    lblTishi->setText(QStringLiteral("注：可添加多个壁纸大 小1024*768/1400*900之间") + QString(36, u' ')
                      + QStringLiteral("图像格式：") + QString(28, u' ') + QStringLiteral("BMP,JPG"));
    lblTishi->setWordWrap(true);
    lblTishi->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTishi->setAttribute(Qt::WA_TranslucentBackground);
    lblTishi->setFont(pixelFont(QStringLiteral("幼圆"), 15));
    lblTishi->setGeometry(350, 44, 160, 150);

    btnRemove = new QPushButton(QStringLiteral("移  除"), this);
    btnAdd = new QPushButton(QStringLiteral("添  加"), this);
    btnOk = new QPushButton(QStringLiteral("确  定"), this);
    int left = 350;
    for (QPushButton *button : {btnRemove, btnAdd, btnOk}) {
        button->setFlat(true);
        button->setAutoDefault(false);
        button->setGeometry(left, 245, 52, 24);
        left += 56;
    }
    setTabOrder(btnRemove, btnAdd);
    setTabOrder(btnAdd, btnOk);
    btnRemove->setFocus();
    auto reported = [this](void (TPicSelFrm::*handler)()) {
        return [this, handler] { runReportingErrors(dialogs_, this, [this, handler] { (this->*handler)(); }); };
    };
    connect(btnRemove, &QPushButton::clicked, this, reported(&TPicSelFrm::btnRemoveClick));
    connect(btnAdd, &QPushButton::clicked, this, reported(&TPicSelFrm::btnAddClick));
    connect(btnOk, &QPushButton::clicked, this, reported(&TPicSelFrm::btnOkClick));
}

void TPicSelFrm::showClosePicture(int state)
{
    for (int i = 0; i < 3; ++i)
        closePictures_[std::size_t(i)]->setVisible(i == state);
}

QString TPicSelFrm::listPath() const
{
    return resolvePath(programFolder_, QStringLiteral("Data\\BGPicList.ini"));
}

QStringList TPicSelFrm::entries() const
{
    QStringList names;
    for (int i = 0; i < LVpic->count(); ++i)
        names.append(LVpic->item(i)->text());
    return names;
}

QListWidgetItem *TPicSelFrm::selectedEntry() const
{
    const QList<QListWidgetItem *> selected = LVpic->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TPicSelFrm::showEvent(QShowEvent *event)
{
    centreOver(this, parentWidget());
    QDialog::showEvent(event);
    runReportingErrors(dialogs_, this, [this] { FillPicList(); });
}

void TPicSelFrm::FillPicList()
{
    const QString path = listPath();
    const std::optional<QStringList> lines = readBackgroundList(path);
    if (!lines) {
        writeDefaultBackgroundList(path);
        CurrentPic = QString::fromLatin1(kDefaultBackground);
        LVpic->clear();
        LVpic->addItem(CurrentPic);
        return;
    }
    if (lines->isEmpty())
        return;
    CurrentPic = lines->first();
    LVpic->clear();
    LVpic->addItems(lines->mid(1));
}

void TPicSelFrm::SavePicList()
{
    tavi::SavePicList(listPath(), CurrentPic, entries());
}

void TPicSelFrm::btnAddClick()
{
    const std::optional<QString> chosen = dialogs_.openFileName(this, QString::fromUtf16(kOpenFilter));
    if (!chosen || chosen->isEmpty())
        return;
    QString picture;
    try {
        const QString target = pictureFolder_ + fileNamePart(*chosen);
        copyReplacing(*chosen, target);
        picture = ConvertToBmp(target);
    } catch (const std::exception &) {
        dialogs_.showMessage(this, QStringLiteral("添加失败，请重试！"));
        return;
    }
    try {
        if (picture.isEmpty())
            throw ParseError("not a BMP, JPEG or GIF file");
        if (readBmp(picture).width() > kMaxPictureWidth)
            ResizePic(picture, picture, kMaxPictureWidth, kResizedHeight);
    } catch (const std::exception &) {
        dialogs_.showMessage(this, QStringLiteral("添加背景图片异常，请重试！"));
        return;
    }
    LVpic->addItem(fileNamePart(picture));
    SavePicList();
}

void TPicSelFrm::btnRemoveClick()
{
    QListWidgetItem *entry = selectedEntry();
    if (!entry)
        return;
    try {
        const QString name = entry->text();
        if (name == CurrentPic)
            CurrentPic = QString::fromLatin1(kDefaultBackground);
        if (name != QLatin1String(kDefaultBackground))
            delete entry;
        SavePicList();
    } catch (const std::exception &) {
        // remove fails quietly; the list shows what it holds
    }
}

void TPicSelFrm::btnOkClick()
{
    QListWidgetItem *entry = selectedEntry();
    if (entry && entry->text() != CurrentPic) {
        CurrentPic = entry->text();
        try {
            SavePicList();
        } catch (const std::exception &) {
            // OK closes whatever happens
        }
    }
    accept();
}

void TPicSelFrm::img_close_highlightClick()
{
    reject();
}

} // namespace tavi
