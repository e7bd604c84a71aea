// Where the cores and deltas of a pattern class lie on a finger. Positions follow the
// usual layout of each class with natural variation: a loop's delta lies 70 to 130 pixels
// below and to the side of its core, a whorl has two cores close together above two deltas
// on either side, a tented arch has its delta just below its core, an arch has none.
#pragma once

#include <vector>

#include "core/random.h"
#include "fpsynth/fingerprint.h"
#include "master/finger_shape.h"

namespace fpsynth {

std::vector<SingularPoint> PlaceSingularPoints(PatternClass patternClass, const FingerShape& shape, Random& random);

}  // namespace fpsynth
