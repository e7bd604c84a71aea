#include "maps/block_maps.h"

#include <vector>

#include "maps/block_direction.h"
#include "maps/direction_smoothing.h"
#include "maps/period_consistency.h"
#include "maps/period_filling.h"
#include "maps/ridge_period.h"

namespace fenrax {

void BuildBlockMaps(std::span<const uint8_t> enhanced, const Geometry& geometry, std::span<uint8_t> directionMap,
                    std::span<uint8_t> periodMap)
{
    // Direction of least grey variation per block, then majority smoothing.
    EstimateBlockDirections(enhanced, geometry, directionMap);
    SmoothDirections(geometry, directionMap);
    // Period from the signature across the ridges, checked against its neighbours, gaps
    // filled from around.
    std::vector<int32_t> periods = MeasureRidgePeriods(enhanced, geometry, directionMap);
    RejectInconsistentPeriods(geometry, directionMap, periods);
    FillPeriods(geometry, periods);
    for (size_t b = 0; b < periods.size(); ++b) {
        periodMap[b] = static_cast<uint8_t>(periods[b] & 0xFF);
    }
}

}  // namespace fenrax
