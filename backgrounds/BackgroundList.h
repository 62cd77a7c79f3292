#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The background list file, Data/BGPicList.ini: line 1 names the current
// background, the other lines the pictures of the list, as bare file names in
// the picture folder. GBK text; a NUL byte ends it; names compare exactly.
namespace tavi {

extern const char *const kDefaultBackground; // "A1.bmp"

// The lines of the list file, or nothing when there is no file. Names that
// are not valid GBK keep their bytes (see decodeGbk), so an untouched entry
// is written back exactly as it was read. Throws FileError when it cannot be read.
std::optional<QStringList> readBackgroundList(const QString &path);

// Writes line 1 = current, then the pictures, each followed by CR LF,
// replacing the file atomically. Throws FileError.
void saveBackgroundList(const QString &path, const QString &current, const QStringList &pictures);

// Writes the default list: "A1.bmp" as the current background and the only picture.
void writeDefaultBackgroundList(const QString &path);

// The list as the main window holds it: every line of the file (entry 0 is
// line 1, the current background) and which entry the next apply lays the
// week on.
struct BackgroundList {
    QString current;
    QStringList entries;
    int index = 0;
    // How many lines the last read took over: 0 after an empty file, which
    // leaves everything else as it was.
    int linesRead = 0;

    // Reads the file over the list. index becomes the last line when changed
    // is false, or the last line naming the current background when it is
    // true. A missing file is replaced by the default list. Read and write
    // errors are thrown, with the list as it was apart from linesRead.
    void load(const QString &path, bool changed);
};

} // namespace tavi
