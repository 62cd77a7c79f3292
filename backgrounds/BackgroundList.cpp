#include "backgrounds/BackgroundList.h"

#include "formats/LineFile.h"

namespace tavi {

const char *const kDefaultBackground = "A1.bmp";

std::optional<QStringList> readBackgroundList(const QString &path)
{
    return readLineFile(path, NulByte::EndsText);
}

void SavePicList(const QString &path, const QString &current, const QStringList &pictures)
{
    writeLineFile(path, QStringList{current} + pictures);
}

void writeDefaultBackgroundList(const QString &path)
{
    const QString name = QString::fromLatin1(kDefaultBackground);
    SavePicList(path, name, {name});
}

void LoadBGList(const QString &path, bool changed, ProgramState &state, QString &currentBGPic, int &bgPicIndex)
{
    state.PicBGCount = 0;
    const std::optional<QStringList> lines = readBackgroundList(path);
    if (!lines) {
        writeDefaultBackgroundList(path);
        const QString name = QString::fromLatin1(kDefaultBackground);
        currentBGPic = name;
        state.PicBGList = {{0, name}, {1, name}};
        state.PicBGCount = 2;
        bgPicIndex = 0;
        return;
    }
    if (lines->isEmpty())
        return;
    currentBGPic = lines->first();
    state.PicBGCount = int(lines->size());
    state.PicBGList.assign(std::size_t(state.PicBGCount), {});
    for (int i = 0; i < state.PicBGCount; ++i) {
        state.PicBGList[std::size_t(i)] = {i, (*lines)[i]};
        if ((*lines)[i] == currentBGPic)
            bgPicIndex = changed ? i : state.PicBGCount - 1;
    }
}

} // namespace tavi
