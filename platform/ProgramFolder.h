#pragma once

#include <QString>

namespace tavi {

// The folder of the running executable, with a trailing '/'. Every file the
// program reads or writes lies below it.
QString programFolder();

// Resolves a relative path written the Windows way ("data\FormSize.ini",
// "source\DeskTopBG\Mix.Bmp") below base (a folder, with or without a
// trailing '/'). Each component is matched case-insensitively against what
// exists; an exact match wins over a case-insensitive one, and a component
// that does not exist keeps the spelling it was given.
QString resolvePath(const QString &base, const QString &relativePath);

// The same for a name as Linux writes it: only '/' separates components, so a
// picture named "a\\b.jpg" or "12:30.jpg" stays one name.
QString resolveFileName(const QString &base, const QString &relativePath);

// resolvePath() below programFolder().
QString programPath(const QString &relativePath);

} // namespace tavi
