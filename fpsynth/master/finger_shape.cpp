#include "master/finger_shape.h"

#include <cmath>

namespace fpsynth {

double FingerShape::Radius(double x, double y) const
{
    const double u = (x - centreX) / halfWidth;
    if (y <= centreY) {
        const double v = (y - centreY) / tipHeight;
        return std::sqrt(u * u + v * v);
    }
    // A superellipse of order 4 below the widest line: straight sides, rounded corners.
    const double v = (y - centreY) / lowerHeight;
    const double u2 = u * u;
    const double v2 = v * v;
    return std::sqrt(std::sqrt(u2 * u2 + v2 * v2) * 0.5 + (u2 + v2) * 0.5);
}

double FingerShape::Inside(double x, double y) const
{
    const double scale = y <= centreY ? (halfWidth < tipHeight ? halfWidth : tipHeight) : halfWidth;
    return (1.0 - Radius(x, y)) * scale;
}

FingerShape DrawFingerShape(Random& random, int margin)
{
    FingerShape shape;
    shape.halfWidth = random.Uniform(118.0, 148.0);
    shape.tipHeight = shape.halfWidth * random.Uniform(1.08, 1.28);
    shape.lowerHeight = random.Uniform(175.0, 215.0);
    shape.centreX = margin + shape.halfWidth;
    shape.centreY = margin + shape.tipHeight;
    return shape;
}

}  // namespace fpsynth
