#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tavi {

class Dialogs;

// Stretches the BMP picture at source to exactly width x height by nearest
// pixels (the aspect ratio is not kept; dropped rows and columns are not
// blended) and writes it to target as a 24-bit BMP. Throws on any failure.
void ResizePic(const QString &source, const QString &target, int width, int height);

// The background selection window: the picture list of the background list
// file, with add, remove and choosing the current background. Created once
// and shown modally from the main window.
class TPicSelFrm : public QDialog {
    Q_OBJECT
public:
    static constexpr const char16_t *kOpenFilter = u"(*.Bmp; *.JPG; *Gif)|*.bmp; *.jpg; *.jpeg; *.gif";

    TPicSelFrm(const QString &programFolder, Dialogs &dialogs, QWidget *parent = nullptr);

    // The current background while the window is open.
    QString CurrentPic;

    // Reads the list file into CurrentPic and the list (a missing file is
    // replaced by the default list; an empty one changes nothing).
    void FillPicList();
    // Writes CurrentPic and the list's entries as the list file.
    void SavePicList();

    void btnAddClick();
    void btnRemoveClick();
    void btnOkClick();
    void img_close_highlightClick();

    QListWidget *pictureList() const { return LVpic; }
    QStringList entries() const;
    QLabel *hint() const { return lblTishi; }
    QPushButton *removeButton() const { return btnRemove; }
    QPushButton *addButton() const { return btnAdd; }
    QPushButton *okButton() const { return btnOk; }
    QLabel *closePicture(int state) const { return closePictures_[std::size_t(state)]; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QListWidgetItem *selectedEntry() const;
    QString listPath() const;

    QString programFolder_;
    QString pictureFolder_;
    Dialogs &dialogs_;
    QLabel *imgBG = nullptr;
    QLabel *imgLogo = nullptr;
    // The close button's normal, highlight and down pictures.
    std::array<QLabel *, 3> closePictures_{};
    void showClosePicture(int state);
    QListWidget *LVpic = nullptr;
    QLabel *lblTishi = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnOk = nullptr;
};

} // namespace tavi
