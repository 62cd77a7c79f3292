// Any bytes as the Access reader's output and as Jet text: what parses
// writes and parses back the same, and turning the tables into notes fails
// only with the import's own error.
#include "notes/LegacyImport.h"
#include "formats/ParseError.h"
#include "formats/TextCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const QString text = tavi::decodeJetText(bytes);
        if (text.size() > bytes.size())
            std::abort();
        tavi::encodeGbk(text);
    } catch (const tavi::ParseError &) {
    }
    // The seeds start with the dump header; other inputs get it added.
    const QByteArray stream = bytes.startsWith("TAVI-ACCESS-DUMP") ? bytes : "TAVI-ACCESS-DUMP 1\n" + bytes;
    tavi::AccessDump dump;
    try {
        dump = tavi::parseAccessDump(stream);
    } catch (const tavi::ParseError &) {
        return 0;
    }
    // Names are decoded as UTF-8, so the first writing may differ; from then on it is stable.
    const QByteArray once = tavi::serializeAccessDump(dump);
    if (tavi::serializeAccessDump(tavi::parseAccessDump(once)) != once)
        std::abort();
    try {
        tavi::legacyNotes(dump);
    } catch (const tavi::ImportError &) {
    }
    return 0;
}
