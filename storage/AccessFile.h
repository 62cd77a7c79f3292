#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// Reading the text columns of an Access (Jet 4) database file, as raw stored
// bytes. libmdb does the file walking; long values are assembled here so that
// nothing is cut, converted or silently shortened.
namespace tavi {

struct AccessColumn {
    QString name;
    int type = 0; // Jet's column type: 0x0A text, 0x0C memo, others as stored
};

struct AccessTable {
    QString name;
    std::vector<AccessColumn> columns;
    // Per row, per column: the stored bytes of a text or memo value (still in
    // Jet's text encoding, see decodeJetText), or nothing for NULL. Columns of
    // other types are always nothing.
    std::vector<std::vector<std::optional<QByteArray>>> rows;
};

struct AccessDump {
    std::vector<AccessTable> tables; // the user tables, in catalog order
};

constexpr int kAccessTextType = 0x0A;
constexpr int kAccessMemoType = 0x0C;

// Reads every user table of the file in this process. Throws ParseError on a
// file that is not a Jet 4 database or whose long values do not add up. libmdb
// itself is not hardened against damaged files: prefer readAccessFileContained.
AccessDump readAccessFile(const QString &path);

// The dump as a byte stream, and back. parseAccessDump treats its input as
// hostile: anything malformed throws ParseError.
QByteArray serializeAccessDump(const AccessDump &dump);
AccessDump parseAccessDump(const QByteArray &bytes);

// Runs `program arguments... path` (a process that calls readAccessFile and
// writes serializeAccessDump to its standard output), with limits on time and
// memory, and parses what it wrote. A crash, a hang or an error of the reader
// throws ParseError with a readable message; the caller's process is never at risk.
AccessDump readAccessFileContained(const QString &program, const QStringList &arguments, const QString &path,
                                   int timeoutMs = 120000);

// Jet 4 text: UCS-2 little-endian, or "compressed Unicode" (starts FF FE;
// then one byte per character, a 0x00 byte switching to two-byte characters
// and back). Throws ParseError on an odd number of UCS-2 bytes.
QString decodeJetText(const QByteArray &stored);

} // namespace tavi
