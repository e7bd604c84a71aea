#include "master/period_map.h"

#include "core/det_math.h"
#include "core/value_noise.h"

namespace fpsynth {

PeriodModel::PeriodModel(PatternClass patternClass, const FingerShape& shape, const std::vector<SingularPoint>& points,
                         Random& random)
{
    base_ = random.Uniform(8.3, 9.5);
    upper_ = shape.centreY;
    lower_ = shape.centreY + 0.5 * shape.lowerHeight;
    for (const SingularPoint& point : points) {
        if (point.kind == SingularKind::Core && point.y < upper_) {
            upper_ = point.y;
        }
        if (point.kind == SingularKind::Delta && point.y > lower_) {
            lower_ = point.y;
        }
    }
    tipWidening_ = random.Uniform(0.4, 1.2);
    jointWidening_ = random.Uniform(0.2, 0.8);
    noiseSeed_ = random.Next();
    // Arches have no singular points to break their flow, so they get more knots.
    const int knots = patternClass == PatternClass::Arch ? 16 : 6;
    while (static_cast<int>(knots_.size()) < knots) {
        const double x = random.Uniform(shape.centreX - shape.halfWidth, shape.centreX + shape.halfWidth);
        const double y = random.Uniform(shape.centreY - shape.tipHeight, shape.centreY + shape.lowerHeight);
        const double radius = random.Uniform(10.0, 22.0);
        const double change = random.Sign() * random.Uniform(1.0, 2.2);
        if (shape.Inside(x, y) > 10.0) {
            knots_.push_back({x, y, radius, change});
        }
    }
}

double PeriodModel::At(double x, double y) const
{
    const ValueNoise wander(noiseSeed_, 60.0);
    const ValueNoise ripple(noiseSeed_ ^ 0x3C6EF372ull, 30.0);
    double period = base_ + 1.0 * wander.At(x, y) + 0.8 * ripple.At(x, y);
    for (const Knot& knot : knots_) {
        const double dx = (x - knot.x) / knot.radius;
        const double dy = (y - knot.y) / knot.radius;
        const double t = dx * dx + dy * dy;
        period += t < 1.0 ? knot.change * (1.0 - t) * (1.0 - t) : 0.0;
    }
    period += tipWidening_ * SmoothStep(upper_, upper_ - 150.0, y);
    period += jointWidening_ * SmoothStep(lower_, lower_ + 120.0, y);
    return Clamp(period, kMinimumPeriod, kMaximumPeriod);
}

Grid<float> BuildPeriodField(const PeriodModel& model, int width, int height, int step)
{
    Grid<float> field((width + step - 1) / step, (height + step - 1) / step);
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            field.at(x, y) = static_cast<float>(model.At(x * step, y * step) / step);
        }
    }
    return field;
}

}  // namespace fpsynth
