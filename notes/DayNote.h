#pragma once

#include "formats/RtfDocument.h"

#include <QByteArrayView>
#include <QString>

namespace tavi {

// How a day's note is stored: an RTF document, or else (older or damaged
// rows) GBK plain text. The document the stored bytes hold.
RtfDocument storedNoteDocument(QByteArrayView bytes);

} // namespace tavi
