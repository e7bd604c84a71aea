// A 5 x 7 pixel font for labels on contact sheets: capitals (lower case is drawn as upper
// case), digits and a little punctuation.
#pragma once

#include <cstdint>
#include <string_view>

#include "fpsynth/fingerprint.h"

namespace fpsynth {

// Draws text with its top-left corner at (x, y), each font pixel scale x scale image
// pixels; parts outside the image are clipped. Returns the x after the text.
int DrawText(GreyImage& image, int x, int y, std::string_view text, int scale, uint8_t level);

}  // namespace fpsynth
