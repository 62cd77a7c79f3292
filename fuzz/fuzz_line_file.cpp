// Any bytes as a line file: splitting, the GBK decoding of every line and its
// encoding back must keep the bytes, and joined lines must split the same again.
#include "formats/LineFile.h"
#include "formats/TextCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const tavi::NulByte nul : {tavi::NulByte::IsText, tavi::NulByte::EndsText}) {
        const QList<QByteArray> lines = tavi::splitLines(bytes, nul);
        for (const QByteArray &line : lines) {
            if (line.contains('\r') || line.contains('\n') || (nul == tavi::NulByte::EndsText && line.contains('\0')))
                std::abort();
            if (tavi::encodeGbk(tavi::decodeGbk(line)) != line)
                std::abort();
        }
        if (tavi::splitLines(tavi::joinLines(lines), nul) != lines)
            std::abort();
    }
    return 0;
}
