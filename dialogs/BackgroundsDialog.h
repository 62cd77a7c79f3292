#pragma once

#include "dialogs/SkinnedDialog.h"

#include <QString>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tavi {

class Dialogs;

// The background selection window: the pictures of the background list
// file, with add, remove and choosing the current background. Every change
// is written to the list file at once. Created once and shown modally.
class BackgroundsDialog : public SkinnedDialog {
    Q_OBJECT
public:
    static constexpr const char16_t *kOpenFilter = u"(*.Bmp; *.JPG; *Gif)|*.bmp; *.jpg; *.jpeg; *.gif";

    BackgroundsDialog(const QString &programFolder, Dialogs &dialogs, QWidget *parent = nullptr);

    // Shows the window modally, starting from current as the current
    // background; gives the current background when it closed.
    QString choose(const QString &current);

    // Reads the list file into the list (a missing file is replaced by the
    // default list; an empty one changes nothing).
    void fillList();
    // "添  加": copies a picture into the picture folder as a BMP and lists it.
    void add();
    // "移  除": takes the selected entry off the list (never the default background).
    void remove();
    // "确  定": the selected entry becomes the current background.
    void confirm();

    QString currentPicture() const { return current_; }
    QListWidget *pictureList() const { return list_; }
    QStringList entries() const;
    QLabel *hint() const { return hint_; }
    QPushButton *removeButton() const { return removeButton_; }
    QPushButton *addButton() const { return addButton_; }
    QPushButton *okButton() const { return okButton_; }
    using SkinnedDialog::closePicture;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QListWidgetItem *selectedEntry() const;
    QString listPath() const;
    // Writes the current background and the list's entries as the list file.
    void saveList();

    QString programFolder_;
    QString pictureFolder_;
    Dialogs &dialogs_;
    QString current_;
    QListWidget *list_ = nullptr;
    QLabel *hint_ = nullptr;
    QPushButton *removeButton_ = nullptr;
    QPushButton *addButton_ = nullptr;
    QPushButton *okButton_ = nullptr;
};

} // namespace tavi
