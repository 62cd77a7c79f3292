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

BackgroundsDialog::BackgroundsDialog(const QString &programFolder, Dialogs &dialogs, QWidget *parent)
    : SkinnedDialog(QSize(524, 286), parent), programFolder_(programFolder),
      pictureFolder_(resolvePath(programFolder, QStringLiteral("source\\DeskTopBG\\")) + u'/'), dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("背景图片选择"));

    // The background picture: pressing on it moves the window.
    QLabel *face = addFace(QStringLiteral("background: %1;").arg(kSkinLight.lighter(106).name()));
    auto *logo = new QLabel(this);
    logo->setPixmap(programLogo(QSize(150, 32)));
    logo->setGeometry(10, 4, 150, 32);
    addClosePictures(face, QSize(39, 20));

    auto *frame = new QFrame(this);
    frame->setGeometry(14, 40, 322, 230);
    frame->setStyleSheet(QStringLiteral("border: 1px solid rgb(64, 128, 128);"));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("LVpic"));
    list_->setGeometry(15, 41, 320, 228);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setFont(pixelFont(QStringLiteral("宋体"), 12));

    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("lblTishi"));
    hint_->setText(QStringLiteral("注：可添加多个壁纸大 小1024*768/1400*900之间") + QString(36, u' ')
                   + QStringLiteral("图像格式：") + QString(28, u' ') + QStringLiteral("BMP,JPG"));
    hint_->setWordWrap(true);
    hint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint_->setAttribute(Qt::WA_TranslucentBackground);
    hint_->setFont(pixelFont(QStringLiteral("幼圆"), 15));
    hint_->setGeometry(350, 44, 160, 150);

    removeButton_ = new QPushButton(QStringLiteral("移  除"), this);
    addButton_ = new QPushButton(QStringLiteral("添  加"), this);
    okButton_ = new QPushButton(QStringLiteral("确  定"), this);
    placeButtonRow({removeButton_, addButton_, okButton_}, QPoint(350, 245), QSize(52, 24), 56);
    setTabOrder(removeButton_, addButton_);
    setTabOrder(addButton_, okButton_);
    removeButton_->setFocus();
    auto reported = [this](void (BackgroundsDialog::*handler)()) {
        return [this, handler] { runReportingErrors(dialogs_, this, [this, handler] { (this->*handler)(); }); };
    };
    connect(removeButton_, &QPushButton::clicked, this, reported(&BackgroundsDialog::remove));
    connect(addButton_, &QPushButton::clicked, this, reported(&BackgroundsDialog::add));
    connect(okButton_, &QPushButton::clicked, this, reported(&BackgroundsDialog::confirm));
}

QString BackgroundsDialog::choose(const QString &current)
{
    current_ = current;
    dialogs_.runModal(this);
    return current_;
}

QString BackgroundsDialog::listPath() const
{
    return resolvePath(programFolder_, QStringLiteral("Data\\BGPicList.ini"));
}

QStringList BackgroundsDialog::entries() const
{
    QStringList names;
    for (int i = 0; i < list_->count(); ++i)
        names.append(list_->item(i)->text());
    return names;
}

QListWidgetItem *BackgroundsDialog::selectedEntry() const
{
    const QList<QListWidgetItem *> selected = list_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void BackgroundsDialog::showEvent(QShowEvent *event)
{
    SkinnedDialog::showEvent(event);
    runReportingErrors(dialogs_, this, [this] { fillList(); });
}

void BackgroundsDialog::fillList()
{
    const QString path = listPath();
    const std::optional<QStringList> lines = readBackgroundList(path);
    if (!lines) {
        writeDefaultBackgroundList(path);
        current_ = QString::fromLatin1(kDefaultBackground);
        list_->clear();
        list_->addItem(current_);
        return;
    }
    if (lines->isEmpty())
        return;
    current_ = lines->first();
    list_->clear();
    list_->addItems(lines->mid(1));
}

void BackgroundsDialog::saveList()
{
    saveBackgroundList(listPath(), current_, entries());
}

void BackgroundsDialog::add()
{
    const std::optional<QString> chosen = dialogs_.openFileName(this, QString::fromUtf16(kOpenFilter));
    if (!chosen || chosen->isEmpty())
        return;
    QString picture;
    try {
        const QString target = pictureFolder_ + fileNamePart(*chosen);
        copyReplacing(*chosen, target);
        picture = convertToBmp(target);
    } catch (const std::exception &) {
        dialogs_.showMessage(this, QStringLiteral("添加失败，请重试！"));
        return;
    }
    try {
        if (picture.isEmpty())
            throw ParseError("not a BMP, JPEG or GIF file");
        if (readBmp(picture).width() > kMaxPictureWidth)
            resizePicture(picture, picture, kMaxPictureWidth, kResizedHeight);
    } catch (const std::exception &) {
        dialogs_.showMessage(this, QStringLiteral("添加背景图片异常，请重试！"));
        return;
    }
    list_->addItem(fileNamePart(picture));
    saveList();
}

void BackgroundsDialog::remove()
{
    QListWidgetItem *entry = selectedEntry();
    if (!entry)
        return;
    try {
        const QString name = entry->text();
        if (name == current_)
            current_ = QString::fromLatin1(kDefaultBackground);
        if (name != QLatin1String(kDefaultBackground))
            delete entry;
        saveList();
    } catch (const std::exception &) {
        // remove fails quietly; the list shows what it holds
    }
}

void BackgroundsDialog::confirm()
{
    QListWidgetItem *entry = selectedEntry();
    if (entry && entry->text() != current_) {
        current_ = entry->text();
        try {
            saveList();
        } catch (const std::exception &) {
            // OK closes whatever happens
        }
    }
    accept();
}

} // namespace tavi
