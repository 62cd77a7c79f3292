#pragma once

#include "formats/RtfDocument.h"

#include <QByteArray>

namespace tavi {

// Writes doc as one RTF document in the dialect of the Windows rich edit
// control (\ansi\ansicpg936, GBK bytes as \'hh, \uN? for characters outside
// GBK). The same document always gives the same bytes.
QByteArray writeRtf(const RtfDocument &doc);

} // namespace tavi
