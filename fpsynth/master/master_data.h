// What a master fingerprint holds; shared by the stages that take impressions of it.
#pragma once

#include <cstdint>
#include <vector>

#include "core/grid.h"
#include "fpsynth/fingerprint.h"
#include "master/finger_shape.h"

namespace fpsynth {

struct MasterData {
    uint64_t seed = 0;
    PatternClass patternClass = PatternClass::Arch;
    FingerShape shape;
    // Filter response in [-3, 3]: positive on ridges, negative in valleys, rising and falling
    // smoothly across each ridge.
    Grid<float> ridges;
    std::vector<SingularPoint> singularPoints;
    std::vector<Minutia> minutiae;
};

}  // namespace fpsynth
