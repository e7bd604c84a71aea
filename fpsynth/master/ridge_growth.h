// Ridge growth by iterated oriented band-pass filtering. Every pass replaces each pixel of
// the growth region by the amplified response of an even Gabor filter tuned to the local
// ridge orientation and period, clipped to [-1, 1]. Started from a few random seeds, the
// pattern spreads out from each seed, fills the region and settles into ridges (> 0) and
// valleys (< 0) that follow the maps; where the fronts of different seeds meet out of step,
// and where the period or the orientation forces it, ridges end or fork.
#pragma once

#include <cstdint>

#include "core/grid.h"

namespace fpsynth {

struct GrowthSettings {
    double gain = 1.8;  // amplification before clipping; above 1 so patterns grow
    int maxPasses = 40;
    double settledChange = 0.002;  // stop when a pass moves no more than this share of pixels (0: never)
    double acrossSpread = 0.45;    // Gaussian envelope across ridges, in periods
    double alongSpread = 0.55;     // and along them
    double periodStep = 0.125;     // filters are made for periods this far apart, in pixels
    // Keep the last pass's amplified response unclipped (within +-3): its smooth rise and fall
    // across a ridge lets impressions draw ridges thicker or thinner by moving a threshold.
    bool keepResponse = false;
};

// Evolves field (the size of the maps) in place; pixels outside region stay as they are.
// Orientation in radians [0, pi), period in pixels of this grid. Returns the passes run.
int GrowRidges(Grid<float>& field, const Grid<float>& orientation, const Grid<float>& period,
               const Grid<uint8_t>& region, const GrowthSettings& settings);

}  // namespace fpsynth
