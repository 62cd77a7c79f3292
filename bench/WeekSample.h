#pragma once

#include "platform/RtfDocument.h"

namespace tavi::bench {

// About 2 KB (as GBK) of everyday Chinese notes for day box 0..5, in several
// colour and bold runs and a few paragraphs: what a busy week holds.
RtfDocument dayNotes(int day);

} // namespace tavi::bench
