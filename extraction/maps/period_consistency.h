// Neighbourhood consistency: a period far from the mean of the periods around it is
// taken for a misreading.
#pragma once

#include <cstdint>
#include <span>

#include "interface/geometry.h"

namespace fenrax {

// In place in row order: an interior block with a direction and a period of 0 or more
// becomes kInconsistentPeriod when the mean of the positive periods of the other blocks of
// its 5 x 5 neighbourhood differs from its own by more than 20.
void RejectInconsistentPeriods(const Geometry& geometry, std::span<const uint8_t> directions,
                               std::span<int32_t> periods);

}  // namespace fenrax
