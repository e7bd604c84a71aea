// The part of a finger that touches the glass: a rounded patch about the centre of the pad,
// larger the harder the press, with an uneven rim, inside the finger's outline, and for some
// impressions cut along a line where the finger was rolled or lifted off one side.
// Defined on the master, so it moves and stretches with the skin.
#pragma once

#include "core/det_math.h"
#include "core/random.h"
#include "master/finger_shape.h"

namespace fpsynth {

struct ContactRegion {
    FingerShape finger;
    double centreX = 0;
    double centreY = 0;
    double radiusX = 0;
    double radiusY = 0;
    double rim[4] = {0, 0, 0, 0};  // amplitudes of the rim's waviness (harmonics 2 and 3, cos and sin)
    bool cut = false;
    double cutNormalX = 0;  // contact remains where normal . (q - centre) < cutDistance
    double cutNormalY = 0;
    double cutDistance = 0;
    double edge = 4.0;  // width in master pixels of the soft rim
    double ragged = 0;  // amplitude in master pixels of the rim's fine unevenness
    uint64_t raggedSeed = 0;

    // About the distance in master pixels inside the rim; negative outside.
    double Inside(double x, double y) const;
    // 1 well inside the contact, 0 outside, a smooth ramp across the rim.
    double Weight(double x, double y) const { return SmoothStep(-0.5 * edge, 0.5 * edge, Inside(x, y)); }
};

// pressure in [0, 1]: 0 a light touch, 1 a hard press.
ContactRegion DrawContactRegion(Random& random, const FingerShape& finger, double pressure, bool mayBeCut);

}  // namespace fpsynth
