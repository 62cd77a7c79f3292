// Any bytes through the RTF reader; whatever it reads must survive the writer
// and read back to the same text.
#include "formats/RtfReader.h"
#include "formats/RtfWriter.h"

#include <cstdlib>

namespace {

// Characters the writer deliberately drops (embedded objects, stray separators).
QString comparable(QString text)
{
    text.remove(QChar::ObjectReplacementCharacter);
    text.remove(QChar(0x2029));
    text.remove(u'\r');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    tavi::RtfDocument doc;
    try {
        doc = tavi::readRtf(bytes);
    } catch (const tavi::ParseError &) {
        return 0;
    }
    const tavi::RtfDocument back = tavi::readRtf(tavi::writeRtf(doc));
    if (comparable(back.plainText()) != comparable(doc.plainText()))
        std::abort();
    return 0;
}
