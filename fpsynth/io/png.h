// PNG of 8-bit grey images.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fpsynth/image_files.h"

namespace fpsynth {

inline constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
inline constexpr int kMaximumSide = 16384;
inline constexpr int64_t kMaximumPixels = 64LL * 1024 * 1024;

std::vector<uint8_t> EncodePng(const GreyImage& image);
DecodedImage DecodePng(std::span<const uint8_t> bytes);

}  // namespace fpsynth
