// Ridge period per block, in tenths of a pixel, from the extrema of its signature.
//
// A period value is positive (40..200) when found, 0 for a block without direction, and
// negative when none could be found, telling why.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "interface/geometry.h"
#include "maps/ridge_signature.h"

namespace fenrax {

inline constexpr int32_t kNoPeriod = -1;            // extrema do not alternate, or out of range
inline constexpr int32_t kInconsistentPeriod = -2;  // far from the periods around it
inline constexpr int32_t kIrregularSpacing = -3;    // extrema spaced unevenly
inline constexpr int32_t kWeakRidges = -4;          // too little rise between extrema

inline constexpr int32_t kShortestPeriod = 40;
inline constexpr int32_t kLongestPeriod = 200;

// The mean spacing of successive minima (else of maxima), or twice the distance between
// exactly two extrema; kNoPeriod when two neighbours are of one kind or the result lies
// outside 40..200.
int32_t PeriodFromExtrema(const RidgeExtrema& extrema);

// The period, or kIrregularSpacing / kWeakRidges at the first pair of extrema whose
// spacing changes, or whose grey rise is, beyond what a period of this length allows.
int32_t CheckRegularity(int32_t period, const RidgeExtrema& extrema, const RidgeSignature& signature);

// One period value per block (row-major over the block grid): for each interior block
// with a direction, its signature along that direction, extrema, period and regularity;
// 0 elsewhere.
std::vector<int32_t> MeasureRidgePeriods(std::span<const uint8_t> image, const Geometry& geometry,
                                         std::span<const uint8_t> directions);

}  // namespace fenrax
