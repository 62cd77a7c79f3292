#pragma once

#include "pictures/Bitmap.h"

#include <stdexcept>

namespace tavi {

// A blend that cannot be made: the pictures do not fit each other.
class BlendError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Lays one picture over the other. Two 24-bit pictures blend as they are;
// otherwise both are converted to 32 bits per pixel first.
// When b is no taller than a, a is the base and b the overlay on the same
// rows; otherwise b is the base and a lies rowShift rows down. The overlay's
// right edge lands 50 pixels left of the base's right edge. Pure white
// overlay pixels are transparent; every other pixel sets each of the base's
// bytes (three or four) to base + (overlay - base) * weight / 100, truncated toward zero.
// Returns the base, changed in place. Throws BlendError when the base is not
// at least 50 pixels wider than the overlay (before anything is mixed), or
// when an overlay row would land below the base (after the rows above it
// were mixed: the caller must discard the base).
Bitmap &blend(Bitmap &a, Bitmap &b, int rowShift, int weight);

} // namespace tavi
