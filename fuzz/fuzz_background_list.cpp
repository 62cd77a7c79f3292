// Any bytes as the background list file: reading it, loading it as the
// program's list and saving it again must keep every entry.
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
    tavi::BackgroundList list;
    list.load(path, size % 2 == 0);
    if (list.linesRead != lines->size() || (!lines->isEmpty() && list.current != lines->first()))
        std::abort();
    if (!lines->isEmpty()) {
        tavi::saveBackgroundList(path, lines->first(), lines->mid(1));
        if (tavi::readBackgroundList(path) != lines)
            std::abort();
    }
    return 0;
}
