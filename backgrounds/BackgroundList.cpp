#include "backgrounds/BackgroundList.h"

#include "formats/LineFile.h"

namespace tavi {

const char *const kDefaultBackground = "A1.bmp";

std::optional<QStringList> readBackgroundList(const QString &path)
{
    return readLineFile(path, NulByte::EndsText);
}

void saveBackgroundList(const QString &path, const QString &current, const QStringList &pictures)
{
    writeLineFile(path, QStringList{current} + pictures);
}

void writeDefaultBackgroundList(const QString &path)
{
    const QString name = QString::fromLatin1(kDefaultBackground);
    saveBackgroundList(path, name, {name});
}

void BackgroundList::load(const QString &path, bool changed)
{
    linesRead = 0;
    std::optional<QStringList> lines = readBackgroundList(path);
    if (!lines) {
        writeDefaultBackgroundList(path);
        const QString name = QString::fromLatin1(kDefaultBackground);
        current = name;
        entries = {name, name};
        linesRead = 2;
        index = 0;
        return;
    }
    if (lines->isEmpty())
        return;
    current = lines->first();
    entries = std::move(*lines);
    linesRead = int(entries.size());
    for (int i = 0; i < linesRead; ++i) {
        if (entries[i] == current)
            index = changed ? i : linesRead - 1;
    }
}

} // namespace tavi
