// Block direction: the ridge direction of each 8 x 8 block, as the direction along which
// the grey level varies least, or 8 where the block shows no usable ridges.
#pragma once

#include <cstdint>
#include <span>

#include "interface/geometry.h"

namespace fenrax {

// Fills directions (one byte a block) with 8, then gives each interior block the direction
// 0..7 of least variation along three parallel lines through its centre, unless the block
// is flat, too bright, or its best direction does not stand out.
void EstimateBlockDirections(std::span<const uint8_t> image, const Geometry& geometry, std::span<uint8_t> directions);

}  // namespace fenrax
