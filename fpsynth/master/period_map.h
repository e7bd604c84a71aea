// The ridge period of a master at every pixel: about 8 to 11 pixels at 500 dpi, closest
// between the cores and the deltas, widest towards the tip and the joint, with a slow
// random wander of its own and a few small knots where ridges crowd or spread, which makes
// them end or fork there as they do on skin.
#pragma once

#include <vector>

#include "core/grid.h"
#include "core/random.h"
#include "fpsynth/fingerprint.h"
#include "master/finger_shape.h"

namespace fpsynth {

inline constexpr double kMinimumPeriod = 7.6;
inline constexpr double kMaximumPeriod = 11.4;

class PeriodModel {
public:
    PeriodModel(PatternClass patternClass, const FingerShape& shape, const std::vector<SingularPoint>& points,
                Random& random);
    double At(double x, double y) const;

private:
    double base_;
    double upper_;  // above this row the period widens towards the tip
    double lower_;  // below this row it widens towards the joint
    double tipWidening_;
    double jointWidening_;
    uint64_t noiseSeed_;
    struct Knot {
        double x, y, radius, change;
    };
    std::vector<Knot> knots_;  // small patches where ridges crowd or spread
};

Grid<float> BuildPeriodField(const PeriodModel& model, int width, int height, int step);

}  // namespace fpsynth
