#pragma once

#include "platform/RtfDocument.h"

#include <QByteArrayView>

#include <stdexcept>

namespace tavi {

// The error every parser of outside files throws: a readable message.
class ParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True when bytes start an RTF document ("{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

// Reads an RTF document. Throws ParseError when bytes are not RTF at all;
// damaged RTF (unbalanced braces, truncation, bad escapes) is read leniently.
// Never crashes and never allocates much more than a few times the input size.
RtfDocument readRtf(QByteArrayView bytes);

} // namespace tavi
