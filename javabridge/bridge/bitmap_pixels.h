// A bitmap of the shared bitmap API turned into the int pixels Java draws with.
#pragma once

#include <jni.h>

#include <span>

#include "dactis/bitmap.h"

namespace dactisjava {

// The bitmap's rows are bottom-up and padded to a multiple of 4 bytes; pixels[i * width + j]
// receives row i from the top: with 8 bits a pixel the grey byte v as v * 0x010101, with 24
// the blue, green and red bytes as 0x00RRGGBB. False, with nothing written, for another
// depth, rows that are not laid out that way, or fewer than width x height pixels.
bool BitmapToPixels(const BmBitmapInfo& bitmap, std::span<jint> pixels) noexcept;

}  // namespace dactisjava
