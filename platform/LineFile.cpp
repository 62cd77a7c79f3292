#include "platform/LineFile.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QSaveFile>

namespace tavi {

QList<QByteArray> splitLines(QByteArrayView bytes, NulByte nul)
{
    if (nul == NulByte::EndsText) {
        const qsizetype end = bytes.indexOf('\0');
        if (end >= 0)
            bytes = bytes.first(end);
    }
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.sliced(start, i - start).toByteArray());
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(bytes.sliced(start).toByteArray());
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString()).toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString()).toStdString());
    return bytes;
}

std::optional<QList<QByteArray>> readRawLineFile(const QString &path, NulByte nul)
{
    if (!QFile::exists(path))
        return std::nullopt;
    return splitLines(readWholeFile(path), nul);
}

std::optional<QStringList> readLineFile(const QString &path, NulByte nul)
{
    const auto raw = readRawLineFile(path, nul);
    if (!raw)
        return std::nullopt;
    QStringList lines;
    lines.reserve(raw->size());
    for (const QByteArray &line : *raw)
        lines.append(decodeGbk(line));
    return lines;
}

void writeRawLineFile(const QString &path, const QList<QByteArray> &lines)
{
    writeFileAtomically(path, joinLines(lines));
}

void writeLineFile(const QString &path, const QStringList &lines)
{
    QList<QByteArray> raw;
    raw.reserve(lines.size());
    for (const QString &line : lines)
        raw.append(encodeGbk(line));
    writeRawLineFile(path, raw);
}

void writeFileAtomically(const QString &path, QByteArrayView bytes, std::optional<QFileDevice::Permissions> permissions)
{
    // QSaveFile writes a temporary file beside path, fsyncs it on commit and renames it over path.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || (permissions && !file.setPermissions(*permissions))
        || file.write(bytes.data(), bytes.size()) != bytes.size() || !file.commit()) {
        throw FileError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()).toStdString());
    }
}

} // namespace tavi
