#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFileDevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

// The program's small data files: lines of GBK text. Reading: a line ends at
// CR, LF or CR LF; a last line without a line end counts; an empty file has
// no lines. Writing: CR LF after every line, the last included; the whole file
// is replaced atomically.
namespace tavi {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class NulByte { IsText, EndsText };

// Splits raw bytes into lines. With NulByte::EndsText the first NUL byte ends the text.
QList<QByteArray> splitLines(QByteArrayView bytes, NulByte nul = NulByte::IsText);

// Joins lines with CR LF after each one.
QByteArray joinLines(const QList<QByteArray> &lines);

// Reads the lines of a GBK file, decoded. std::nullopt when the file does not
// exist; FileError when it exists but cannot be read.
std::optional<QStringList> readLineFile(const QString &path, NulByte nul = NulByte::IsText);

// Like readLineFile() but keeps each line's bytes, for files whose untouched
// entries must be written back exactly as read.
std::optional<QList<QByteArray>> readRawLineFile(const QString &path, NulByte nul = NulByte::IsText);

// Writes lines as GBK with CR LF after each, replacing the file atomically.
void writeLineFile(const QString &path, const QStringList &lines);
void writeRawLineFile(const QString &path, const QList<QByteArray> &lines);

// The whole content of a file. Throws FileError naming the path and the
// system's reason when it cannot be read.
QByteArray readWholeFile(const QString &path);

// Replaces path by bytes: path + kTemporarySuffix is written, flushed to disk
// and renamed over path, so a crash leaves the old file or the new one, never
// a mix (and at most that one stray file). The new file keeps the old one's
// permissions, or gets the ones given before it takes the old one's place.
// Throws FileError with a readable message on failure.
extern const char *const kTemporarySuffix; // ".tavi-new"
void writeFileAtomically(const QString &path, QByteArrayView bytes,
                         std::optional<QFileDevice::Permissions> permissions = std::nullopt);

} // namespace tavi
