#include "notes/DayNote.h"

#include "formats/RtfReader.h"
#include "formats/TextCodec.h"

namespace tavi {

RtfDocument storedNoteDocument(QByteArrayView bytes)
{
    if (looksLikeRtf(bytes)) {
        try {
            return readRtf(bytes);
        } catch (const ParseError &) {
            // not RTF after all: read the same bytes as plain text below
        }
    }
    QString text = decodeGbk(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    RtfDocument plain;
    plain.append(text, RtfCharFormat{});
    return plain;
}

} // namespace tavi
