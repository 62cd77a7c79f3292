#pragma once

#include "platform/ProgramState.h"

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
void SavePicList(const QString &path, const QString &current, const QStringList &pictures);

// Writes the default list: "A1.bmp" as the current background and the only picture.
void writeDefaultBackgroundList(const QString &path);

// The main window's copy of the list. Reads the file into state.PicBGList and
// state.PicBGCount and sets currentBGPic to line 1. bgPicIndex becomes the
// last line when changed is false, or the last line naming the current
// background when it is true. A missing file is replaced by the default list;
// a file without lines changes nothing but PicBGCount (0). Read and write
// errors are thrown, with the state as it was apart from PicBGCount.
void LoadBGList(const QString &path, bool changed, ProgramState &state, QString &currentBGPic, int &bgPicIndex);

} // namespace tavi
