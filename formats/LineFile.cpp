#include "formats/LineFile.h"

#include "formats/TextCodec.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavi {
namespace {

mode_t toMode(QFileDevice::Permissions permissions)
{
    mode_t mode = 0;
    const std::pair<QFileDevice::Permission, mode_t> bits[] = {
        {QFileDevice::ReadOwner, S_IRUSR}, {QFileDevice::WriteOwner, S_IWUSR}, {QFileDevice::ExeOwner, S_IXUSR},
        {QFileDevice::ReadGroup, S_IRGRP}, {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ExeGroup, S_IXGRP},
        {QFileDevice::ReadOther, S_IROTH}, {QFileDevice::WriteOther, S_IWOTH}, {QFileDevice::ExeOther, S_IXOTH},
    };
    for (const auto &[permission, bit] : bits)
        if (permissions.testFlag(permission))
            mode |= bit;
    return mode;
}

} // namespace

const char *const kTemporarySuffix = ".tavi-new";

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
    // Written beside the file under one fixed name, so that a crash between
    // writing and renaming leaves at most one stray file per data file, and
    // the next save reuses it.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray temporaryName = QFile::encodeName(target + QLatin1String(kTemporarySuffix));
    const auto fail = [&](int error) {
        ::unlink(temporaryName.constData());
        throw FileError(QStringLiteral("无法写入文件 %1：%2")
                            .arg(path, QString::fromLocal8Bit(std::strerror(error)))
                            .toStdString());
    };

    // The new file keeps the old one's permissions unless told otherwise.
    struct stat existing {};
    mode_t mode = 0666; // less the umask
    bool setMode = false;
    if (permissions) {
        mode = toMode(*permissions);
        setMode = true;
    } else if (::stat(targetName.constData(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
        setMode = true;
    }
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        fail(errno);
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    int error = 0;
    if (setMode && ::fchmod(fd, mode) != 0)
        error = errno;
    while (!error && left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno != EINTR)
            error = errno;
        else if (written > 0) {
            data += written;
            left -= written;
        }
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporaryName.constData(), targetName.constData()) != 0)
        error = errno;
    if (error)
        fail(error);
    // The rename itself reaches the disk with the folder's entry.
    const int folder = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace tavi
