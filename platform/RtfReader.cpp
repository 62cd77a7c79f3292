#include "platform/RtfReader.h"

namespace tavi {

bool looksLikeRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

RtfDocument readRtf(QByteArrayView bytes)
{
    if (!looksLikeRtf(bytes))
        throw ParseError("not an RTF document");
    return {};
}

} // namespace tavi
