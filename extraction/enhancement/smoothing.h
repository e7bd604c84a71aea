// First enhancement stage: softens sensor noise before the histogram is stretched.
#pragma once

#include <cstdint>
#include <span>

namespace fenrax {

// In place: each pixel off the outermost rows and columns becomes (north + west + 2 x
// centre + east + south) / 6 of the unsmoothed image; the outermost rows and columns
// become 0.
void SmoothImage(std::span<uint8_t> image, int32_t width, int32_t height);

}  // namespace fenrax
