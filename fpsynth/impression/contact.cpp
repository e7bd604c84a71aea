#include "impression/contact.h"

#include <cmath>

#include "core/det_math.h"
#include "core/value_noise.h"

namespace fpsynth {

double ContactRegion::Inside(double x, double y) const
{
    const double dx = (x - centreX) / radiusX;
    const double dy = (y - centreY) / radiusY;
    const double r = std::sqrt(dx * dx + dy * dy);
    double reach = 1.0;
    if (r > 1e-9) {
        // cos and sin of the multiples of the angle, from the unit vector itself.
        const double c1 = dx / r;
        const double s1 = dy / r;
        const double c2 = c1 * c1 - s1 * s1;
        const double s2 = 2.0 * c1 * s1;
        const double c3 = c2 * c1 - s2 * s1;
        const double s3 = s2 * c1 + c2 * s1;
        reach += rim[0] * c2 + rim[1] * s2 + rim[2] * c3 + rim[3] * s3;
    }
    const double meanRadius = 0.5 * (radiusX + radiusY);
    double inside = (reach - r) * meanRadius;  // about the distance to the rim in pixels
    const double outline = finger.Inside(x, y);
    inside = outline < inside ? outline : inside;
    if (cut) {
        const double fromCut = cutDistance - (cutNormalX * (x - centreX) + cutNormalY * (y - centreY));
        inside = fromCut < inside ? fromCut : inside;
    }
    if (ragged > 0.0) {
        inside += ragged * FractalNoise(raggedSeed, 14.0).At(x, y);
    }
    return inside;
}

ContactRegion DrawContactRegion(Random& random, const FingerShape& finger, double pressure, bool mayBeCut)
{
    ContactRegion contact;
    contact.finger = finger;
    contact.centreX = finger.centreX + random.Normal(0.0, 5.0);
    contact.centreY = finger.centreY + random.Uniform(10.0, 45.0);
    const double spread = 0.82 + 0.3 * pressure;
    contact.radiusX = finger.halfWidth * spread * random.Uniform(0.95, 1.05);
    contact.radiusY = 0.5 * (finger.tipHeight + finger.lowerHeight) * spread * random.Uniform(0.9, 1.0);
    for (double& amplitude : contact.rim) {
        amplitude = random.Normal(0.0, 0.025);
    }
    contact.edge = random.Uniform(3.0, 6.0);
    contact.ragged = random.Uniform(2.0, 7.0);
    contact.raggedSeed = random.Next();
    if (mayBeCut && random.Chance(0.35)) {
        const double angle = random.Uniform(0.0, kTwoPi);
        contact.cut = true;
        contact.cutNormalX = DetCos(angle);
        contact.cutNormalY = DetSin(angle);
        const double radius = std::sqrt(contact.radiusX * contact.radiusY);
        contact.cutDistance = radius * random.Uniform(0.35, 0.75);
    }
    return contact;
}

}  // namespace fpsynth
