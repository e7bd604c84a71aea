// Direction smoothing: a block whose direction disagrees with a clear majority of its
// 3 x 3 neighbourhood takes the majority's, which removes isolated directions and fills
// single holes.
#pragma once

#include <cstdint>
#include <span>

#include "interface/geometry.h"

namespace fenrax {

// In place over the interior blocks in row order, so later blocks see earlier results.
void SmoothDirections(const Geometry& geometry, std::span<uint8_t> directions);

}  // namespace fenrax
