#pragma once

#include "formats/ParseError.h"
#include "formats/RtfDocument.h"

#include <QByteArrayView>

namespace tavi {

// True when bytes start an RTF document ("{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

// Reads an RTF document. Throws ParseError when bytes are not RTF at all;
// damaged RTF (unbalanced braces, truncation, bad escapes) is read leniently.
// Never crashes and never allocates much more than a few times the input size.
RtfDocument readRtf(QByteArrayView bytes);

} // namespace tavi
