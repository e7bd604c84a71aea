// Period filling: blocks with a direction but no usable period (negative values) take one
// from the blocks around them, in four passes that each read the previous pass's result.
#pragma once

#include <cstdint>
#include <span>

#include "interface/geometry.h"

namespace fenrax {

// Each pass reads `in` and writes `out` (same size, the grid's blocks); `out` starts as a
// copy of `in`.

// A negative interior block becomes the weighted mean (7 x 7 smoothing weights) of the
// positive periods around it, when there are any.
void FillFromNeighbourhood(const Geometry& geometry, std::span<const int32_t> in, std::span<int32_t> out);

// Along each interior row: a run of non-positive blocks between two positive ones is
// bridged by a straight line between their periods; a run before the first positive block
// takes its period, a run after the last one that of the last. Blocks of value 0 (no
// direction) keep it.
void BridgeRowGaps(const Geometry& geometry, std::span<const int32_t> in, std::span<int32_t> out);
// The same down each interior column.
void BridgeColumnGaps(const Geometry& geometry, std::span<const int32_t> in, std::span<int32_t> out);

// Every interior block that is not 0 becomes the mean of the positive periods of its 3 x 3
// neighbourhood, itself included, when there are any.
void AverageNeighbourhood(const Geometry& geometry, std::span<const int32_t> in, std::span<int32_t> out);

// The four passes in order; periods holds the result.
void FillPeriods(const Geometry& geometry, std::span<int32_t> periods);

}  // namespace fenrax
