// The device contexts and bitmaps the SDK hands out through its bitmap API, kept in one
// store so that every handle is checked before use.
#pragma once

#include <cstdint>

#include "dactis/bitmap.h"

namespace dactis {

bool IsDeviceContext(BmDeviceContext dc);
// Row length of a bitmap: the pixels' bytes rounded up to a multiple of 4.
int64_t BitmapWidthBytes(int64_t width, int32_t bitsPerPixel);

// Test controls.
void SetScreenAvailable(bool available);
int LiveDeviceContexts();
int LiveBitmaps();

}  // namespace dactis
