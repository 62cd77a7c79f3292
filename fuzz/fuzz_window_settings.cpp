// Any bytes as the window and wallpaper settings files: what is parsed must
// be written and parsed back the same, and the other readers must not crash.
#include "formats/SettingsFiles.h"
#include "formats/LineFile.h"
#include "formats/TextCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList lines;
    for (const QByteArray &line : tavi::splitLines(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size))))
        lines.append(tavi::decodeGbk(line));
    for (const QRect screen : {QRect(0, 0, 1920, 1080), QRect(), QRect(-640, 200, 640, 480)}) {
        const tavi::WindowSettings settings = tavi::parseWindowSettings(lines, screen);
        const QStringList written = tavi::windowSettingsLines(settings.slot, settings.bounds,
                                                              settings.month.value_or(QString()));
        const tavi::WindowSettings back = tavi::parseWindowSettings(written, screen);
        if (back.slot != settings.slot || back.bounds != settings.bounds)
            std::abort();
    }
    tavi::askBeforeSetBg(lines);
    tavi::memoText(lines);
    return 0;
}
