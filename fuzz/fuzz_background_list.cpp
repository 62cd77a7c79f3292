// Any bytes as the background list file: reading it, loading it into the
// program's state and saving it again must keep every entry.
#include "FuzzFile.h"
#include "backgrounds/BackgroundList.h"
#include "formats/LineFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = scratchFileWith(data, size, "BGPicList.ini");
    const std::optional<QStringList> lines = tavi::readBackgroundList(path);
    if (!lines)
        std::abort(); // the file is there
    tavi::ProgramState state;
    QString current;
    int index = -1;
    tavi::LoadBGList(path, size % 2 == 0, state, current, index);
    if (state.PicBGCount != lines->size() || (!lines->isEmpty() && current != lines->first()))
        std::abort();
    if (!lines->isEmpty()) {
        tavi::SavePicList(path, lines->first(), lines->mid(1));
        if (tavi::readBackgroundList(path) != lines)
            std::abort();
    }
    return 0;
}
