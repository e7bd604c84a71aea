// Binary PGM (P5) of 8-bit grey images.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "fpsynth/image_files.h"

namespace fpsynth {

std::vector<uint8_t> EncodePgm(const GreyImage& image);
DecodedImage DecodePgm(std::span<const uint8_t> bytes);

}  // namespace fpsynth
