#include "master/orientation_field.h"

#include <cmath>

#include "core/det_math.h"
#include "core/value_noise.h"

namespace fpsynth {

OrientationModel::OrientationModel(PatternClass patternClass, const FingerShape& shape,
                                   std::vector<SingularPoint> points, Random& random)
    : shape_(shape)
{
    for (const SingularPoint& point : points) {
        Pole pole{point, point.kind == SingularKind::Core ? 0.5 : -0.5, 0, 0, 0, 0};
        // |bend1| + 2 |bend2| < 1 keeps the corrected angle monotonic, hence the field
        // free of extra singularities.
        pole.bend1 = point.kind == SingularKind::Core ? 0.0 : random.Uniform(-0.25, 0.25);
        pole.phase1 = random.Uniform(-kPi, kPi);
        pole.bend2 = random.Uniform(-0.08, 0.08);
        pole.phase2 = random.Uniform(-kPi, kPi);
        poles_.push_back(pole);
    }
    // The plain model opens the legs of a loop like a parabola, too fast for ridges of even
    // spacing, which then crowd into the core like a fan. Slowing the field's turn along the
    // legs keeps them parallel, as in real loops, and sharpens the turn at the loop's head.
    const double straightening =
        patternClass == PatternClass::Whorl ? random.Uniform(0.2, 0.4) : random.Uniform(0.45, 0.7);
    for (Pole& pole : poles_) {
        if (pole.point.kind == SingularKind::Core) {
            pole.phase1 = LegDirection(pole);
            pole.bend1 = -straightening;
        }
    }
    background_ = random.Normal(0.0, 0.04);
    archHeight_ = random.Uniform(0.7, 1.1);
    archWidth_ = random.Uniform(0.45, 0.65);
    archCentreY_ = shape.centreY + random.Uniform(0.0, 50.0);
    tipBend_ = random.Uniform(0.8, 1.3);
    // Real ridges are never as smooth as a model field: a slow wobble of the orientation
    // bends them a little and makes them end and fork here and there, as skin does.
    // Arches, which have no singular points to disturb their flow, get more of it.
    wobble_ = patternClass == PatternClass::Arch ? random.Uniform(0.32, 0.42) : random.Uniform(0.2, 0.32);
    wobbleSeed_ = random.Next();
}

// The direction from a core along which the ridges point straight at it: the axis of the
// loop's legs. The field turns by half a turn around the core while the direction turns by a
// whole one, so there is exactly one such direction.
double OrientationModel::LegDirection(const Pole& core) const
{
    constexpr int kSteps = 360;
    constexpr double kRadius = 12.0;
    double best = 0;
    double bestMiss = 1e9;
    for (int i = 0; i < kSteps; ++i) {
        const double alpha = i * (kTwoPi / kSteps);
        const double x = core.point.x + kRadius * DetCos(alpha);
        const double y = core.point.y + kRadius * DetSin(alpha);
        const double miss = WrapOrientation(At(x, y) - alpha);
        const double distance = miss < kHalfPi ? miss : kPi - miss;
        if (distance < bestMiss) {
            bestMiss = distance;
            best = alpha;
        }
    }
    return best > kPi ? best - kTwoPi : best;
}

double OrientationModel::CorrectedAngle(const Pole& pole, double x, double y) const
{
    const double a = DetAtan2(y - pole.point.y, x - pole.point.x);
    return a + pole.bend1 * DetSin(a - pole.phase1) + pole.bend2 * DetSin(2.0 * (a - pole.phase2));
}

// Slope of ridges that follow the rounded tip of the finger; zero from the widest line down.
double OrientationModel::TipSlope(double x, double y) const
{
    const double u = (x - shape_.centreX) / shape_.halfWidth;
    const double tipness =
        SmoothStep(shape_.centreY + 0.3 * shape_.tipHeight, shape_.centreY - 0.9 * shape_.tipHeight, y);
    return tipBend_ * u * tipness;
}

double OrientationModel::ArchAt(double x, double y) const
{
    const double u = (x - shape_.centreX) / shape_.halfWidth;
    const double t = Clamp((y - archCentreY_) / (0.9 * shape_.lowerHeight), -1.0, 1.0);
    const double bell = (1.0 - t * t) * (1.0 - t * t);
    // u * exp(-u^2 / w^2), scaled so that its peak (at u = w / sqrt 2) is 1.
    const double w = archWidth_;
    const double hump = u * DetExp(0.5 - u * u / (w * w)) * (1.4142135623730951 / w);
    return DetAtan(archHeight_ * bell * hump + TipSlope(x, y));
}

double OrientationModel::At(double x, double y) const
{
    const double wobble = wobble_ * ValueNoise(wobbleSeed_, 40.0).At(x, y);
    if (poles_.empty()) {
        return WrapOrientation(background_ + wobble + ArchAt(x, y));
    }
    double theta = background_;
    double nearestCore = 1e9;
    for (const Pole& pole : poles_) {
        theta += pole.weight * CorrectedAngle(pole, x, y);
        if (pole.point.kind == SingularKind::Core) {
            const double dx = x - pole.point.x;
            const double dy = y - pole.point.y;
            const double d = std::sqrt(dx * dx + dy * dy);
            nearestCore = d < nearestCore ? d : nearestCore;
        }
    }
    theta += SmoothStep(40.0, 130.0, nearestCore) * DetAtan(TipSlope(x, y)) + wobble;
    return WrapOrientation(theta);
}

Grid<float> BuildOrientationField(const OrientationModel& model, int width, int height, int step)
{
    Grid<float> field((width + step - 1) / step, (height + step - 1) / step);
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            field.at(x, y) = static_cast<float>(model.At(x * step, y * step));
        }
    }
    return field;
}

}  // namespace fpsynth
