#pragma once

#include <QStringList>

namespace tavi {

// Lays out a program folder as the build, a folder install and the first
// start of a per-user folder do: Data/ and source/DeskTopBG/, an empty notes
// database, the password file that asks no password and the default
// background A1.bmp, each only when missing; nothing there is ever replaced.
// Gives the files it made (paths below folder). Throws FileError or
// DatabaseError when something cannot be made.
QStringList layOutProgramFolder(const QString &folder);

} // namespace tavi
