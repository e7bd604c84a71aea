#include "master/singular_points.h"

namespace fpsynth {

std::vector<SingularPoint> PlaceSingularPoints(PatternClass patternClass, const FingerShape& shape, Random& random)
{
    const double cx = shape.centreX;
    const double cy = shape.centreY;
    std::vector<SingularPoint> points;
    switch (patternClass) {
        case PatternClass::Arch:
            break;
        case PatternClass::TentedArch: {
            const SingularPoint core{cx + random.Normal(0.0, 10.0), cy + random.Normal(5.0, 10.0), SingularKind::Core};
            points.push_back(core);
            points.push_back(
                {core.x + random.Normal(0.0, 4.0), core.y + random.Uniform(28.0, 50.0), SingularKind::Delta});
            break;
        }
        case PatternClass::LeftLoop:
        case PatternClass::RightLoop: {
            // The core sits a little towards the side the loop opens to.
            const double side = patternClass == PatternClass::LeftLoop ? 1.0 : -1.0;
            const SingularPoint core{cx - side * random.Uniform(0.0, 22.0), cy + random.Normal(0.0, 12.0),
                                     SingularKind::Core};
            const double down = random.Uniform(60.0, 105.0);
            const double across = random.Uniform(55.0, 100.0);
            points.push_back(core);
            points.push_back({core.x + side * across, core.y + down, SingularKind::Delta});
            break;
        }
        case PatternClass::Whorl: {
            const SingularPoint upper{cx + random.Normal(0.0, 8.0), cy + random.Normal(-10.0, 10.0),
                                      SingularKind::Core};
            const SingularPoint lower{upper.x + random.Normal(0.0, 9.0), upper.y + random.Uniform(14.0, 38.0),
                                      SingularKind::Core};
            points.push_back(upper);
            points.push_back(lower);
            const double middle = (upper.x + lower.x) * 0.5;
            points.push_back(
                {middle - random.Uniform(70.0, 105.0), lower.y + random.Uniform(50.0, 85.0), SingularKind::Delta});
            points.push_back(
                {middle + random.Uniform(70.0, 105.0), lower.y + random.Uniform(50.0, 85.0), SingularKind::Delta});
            break;
        }
    }
    // A delta too near the edge of the finger is moved in: a print should show it.
    constexpr double kDeltaInside = 40.0;
    for (SingularPoint& point : points) {
        for (int step = 0;
             step < 100 && point.kind == SingularKind::Delta && shape.Inside(point.x, point.y) < kDeltaInside; ++step) {
            point.x += 0.04 * (cx - point.x);
            point.y += 0.04 * (cy - point.y);
        }
    }
    return points;
}

}  // namespace fpsynth
