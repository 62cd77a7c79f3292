#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <unistd.h>

// The readers of the program's data files take a path: each input is written
// to one scratch file per fuzzing process (in memory, under /dev/shm).
inline QString scratchFileWith(const uint8_t *data, size_t size, const char *name)
{
    static const QString path = QStringLiteral("/dev/shm/tavi-fuzz-%1-%2").arg(getpid()).arg(QLatin1String(name));
    FILE *file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    return path;
}
