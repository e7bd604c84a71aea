// The block maps of an enhanced working image: one ridge direction and one ridge period
// per 8 x 8 block, which the ridge filter and the minutiae checks read.
#pragma once

#include <cstdint>
#include <span>

#include "interface/geometry.h"

namespace fenrax {

// directionMap: 0..7 (d x 22.5 degrees from +x towards +y), 8 for no ridge; the outer ring
// is always 8. periodMap: the low byte of the period in tenths of a pixel, 40..200 when
// found, 0 without direction and on the outer ring, 252..255 when none could be found or
// filled in. Both hold geometry.Blocks() bytes.
void BuildBlockMaps(std::span<const uint8_t> enhanced, const Geometry& geometry, std::span<uint8_t> directionMap,
                    std::span<uint8_t> periodMap);

}  // namespace fenrax
