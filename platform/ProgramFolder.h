#pragma once

#include <QString>

namespace tavi {

// The folder of the running executable, with a trailing '/'.
QString executableFolder();

// The folder of everything the program writes or reads as the user's data
// (Data/, source/DeskTopBG/), with a trailing '/'. A program with a folder of
// its own has Data/ beside its executable and keeps its data there; one
// installed for every user (no Data/ beside it) keeps each user's data in
// $XDG_DATA_HOME/tavi, by default ~/.local/share/tavi.
QString programFolder();
// The rule itself: executable is the executable's folder, xdgDataHome and
// home the environment's values (a relative or empty XDG_DATA_HOME counts as
// unset, as the XDG base directory rules have it).
QString programFolderFor(const QString &executable, const QString &xdgDataHome, const QString &home);
// Whether programFolder() is a per-user folder, laid out by the program itself.
bool isPerUserFolder();

// The folder of the program's own read-only files (fonts.conf), with a
// trailing '/': assets/ beside the executable in a folder of its own, else
// ../share/tavi/ from the executable, so an unpacked package runs from any root.
QString programFilesFolder();
QString programFilesFolderFor(const QString &executable);

// Resolves a relative path written the Windows way ("data\FormSize.ini",
// "source\DeskTopBG\Mix.Bmp") below base (a folder, with or without a
// trailing '/'). Each component is matched case-insensitively against what
// exists; an exact match wins over a case-insensitive one, and a component
// that does not exist keeps the spelling it was given.
QString resolvePath(const QString &base, const QString &relativePath);

// The same for a name as Linux writes it: only '/' separates components, so a
// picture named "a\\b.jpg" or "12:30.jpg" stays one name.
QString resolveFileName(const QString &base, const QString &relativePath);

} // namespace tavi
