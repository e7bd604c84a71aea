// Minutiae read from a ridge skeleton: line ends are ridge endings, forks are bifurcations.
// Thinning artefacts (short spurs, tiny fragments) and pairs of minutiae too close to be
// told apart are left out, so that every minutia listed is a clear feature of the ridges.
#pragma once

#include <cstdint>
#include <vector>

#include "core/grid.h"
#include "fpsynth/fingerprint.h"

namespace fpsynth {

struct DetectionRules {
    int spurLength = 6;        // a branch this short ending in a line end is an artefact
    int traceLength = 10;      // how far a ridge is followed to find a minutia's direction
    double minSeparation = 5;  // minutiae closer than this are both dropped
};

// skeleton from ThinRidges; a minutia is kept only where valid is non-zero.
std::vector<Minutia> DetectMinutiae(const Grid<uint8_t>& skeleton, const Grid<uint8_t>& valid,
                                    const DetectionRules& rules);

}  // namespace fpsynth
