#include "platform/RtfWriter.h"

namespace tavi {

QByteArray writeRtf(const RtfDocument &)
{
    return {};
}

} // namespace tavi
