// Binary ridges reduced to one-pixel-wide lines, and the crossing number that tells line
// ends (1) and forks (3) from line pixels (2).
#pragma once

#include <cstdint>

#include "core/grid.h"

namespace fpsynth {

// binary: 1 on ridges, 0 elsewhere; thinned in place to an 8-connected skeleton without
// redundant corner pixels, so that the crossing number is exact.
void ThinRidges(Grid<uint8_t>& binary);

// Half the number of changes between skeleton and background around (x, y); pixels
// outside the grid count as background.
int CrossingNumber(const Grid<uint8_t>& skeleton, int x, int y);

}  // namespace fpsynth
