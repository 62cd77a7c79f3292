#pragma once

#include <QString>

// Turning the pictures a user picks for the background into the BMP files the
// background list stores.
namespace tavi {

// The extension of the path's file name (the text after its last '/'; ':' and
// '\\' are ordinary characters of Linux file names): from the name's last dot
// to the end, dot included; empty when the name has no dot. Dots in folder
// names do not count.
QString fileExtension(const QString &path);

// The file name of the path: the text after its last '/'.
QString fileNamePart(const QString &path);

// The path with its extension replaced by ".bmp", or ".bmp" appended when it
// has none: "/p/Sea.JPG" gives "/p/Sea.bmp".
QString bmpPathFor(const QString &path);

// By extension, in any letter case: ".bmp" gives the path itself (nothing is
// read or written); ".jpg" and ".jpeg" go through jpegToBmp(), ".gif" through
// gifToBmp(); anything else gives an empty string and writes nothing.
QString convertToBmp(const QString &path);

// Reads the picture, writes it as a BMP to bmpPathFor(source), replacing any
// file there atomically, and returns that path. The source is never changed.
// Throws FileError when a file cannot be read or written, ParseError when the
// data is not a picture of that kind.
QString jpegToBmp(const QString &source);
QString gifToBmp(const QString &source);

// Stretches the BMP picture at source to exactly width x height by nearest
// pixels (the aspect ratio is not kept; dropped rows and columns are not
// blended) and writes it to target as a 24-bit BMP. Throws on any failure.
void resizePicture(const QString &source, const QString &target, int width, int height);

} // namespace tavi
