#pragma once

#include "pictures/Bitmap.h"

namespace tavi {

// The background the program starts with (A1.bmp): 1280 x 800, a calm sky
// over layered hills, drawn here so that nothing is taken from elsewhere.
Bitmap makeDefaultBackground();

} // namespace tavi
