// Removes specks of ridge and pinholes of valley too small to be skin features, so that the
// ridges an impression shows and the minutiae listed for them tell the same story.
#pragma once

#include <cstdint>

#include "core/grid.h"

namespace fpsynth {

// ridges: positive on ridges. Components of ridge or of valley smaller than minimumArea
// pixels, wholly inside region, change sides.
void RemoveSpecks(Grid<float>& ridges, const Grid<uint8_t>& region, int minimumArea);

}  // namespace fpsynth
