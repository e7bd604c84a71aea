// Windows bitmap files (BMP) of grey images: written as 8 bits a pixel with a grey
// palette; read from uncompressed 8-bit paletted or 24-bit files of any of the usual
// header versions, bottom-up or top-down, the colours turned to grey.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "fpsynth/image_files.h"

namespace dactis {

std::vector<uint8_t> EncodeBmp(const fpsynth::GreyImage& image);

// Refuses, with the reason, anything malformed or outside 1..maxSide pixels a side; never
// reads outside the bytes given.
fpsynth::DecodedImage DecodeBmp(std::span<const uint8_t> bytes, int maxSide);

}  // namespace dactis
