// The outline of a fingertip: an elliptic tip above the widest line and a flatter, squarer
// lower part down towards the first joint, as flat prints show it. Sizes are drawn within
// the range of adult fingers at 500 dpi (about 12 to 15 mm wide).
#pragma once

#include "core/random.h"

namespace fpsynth {

struct FingerShape {
    double centreX = 0;  // on the widest line
    double centreY = 0;
    double halfWidth = 0;    // half the width at the widest line
    double tipHeight = 0;    // from the widest line up to the tip
    double lowerHeight = 0;  // from the widest line down to the end of the pad

    // 0 at the centre, 1 on the outline, above 1 outside; grows roughly linearly with distance.
    double Radius(double x, double y) const;
    // Approximate distance in pixels inside the outline (negative outside).
    double Inside(double x, double y) const;
};

FingerShape DrawFingerShape(Random& random, int margin);

}  // namespace fpsynth
