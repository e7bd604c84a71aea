// The ridge orientation of a master at every pixel, in radians in [0, pi), measured from +x
// towards +y (rows grow downwards).
//
// Around singular points it is the zero-pole model: half the sum of the angles seen from
// the cores minus half the sum of those seen from the deltas. Each point's angle goes
// through its own smooth monotonic correction, so that no two loops bend the same way.
// Away from cores the ridges are bent towards the arch of the fingertip. Arches have no
// singular points and follow an arch-shaped field instead.
#pragma once

#include <vector>

#include "core/grid.h"
#include "core/random.h"
#include "fpsynth/fingerprint.h"
#include "master/finger_shape.h"

namespace fpsynth {

class OrientationModel {
public:
    OrientationModel(PatternClass patternClass, const FingerShape& shape, std::vector<SingularPoint> points,
                     Random& random);

    double At(double x, double y) const;

private:
    struct Pole {
        SingularPoint point;
        double weight;  // +1/2 for a core, -1/2 for a delta
        double bend1;   // amplitude of the first harmonic of the angle correction
        double phase1;
        double bend2;  // and of the second
        double phase2;
    };

    double LegDirection(const Pole& core) const;
    double CorrectedAngle(const Pole& pole, double x, double y) const;
    double TipSlope(double x, double y) const;
    double ArchAt(double x, double y) const;

    FingerShape shape_;
    std::vector<Pole> poles_;
    double background_ = 0;  // orientation far from every singular point
    double archHeight_ = 0;
    double archWidth_ = 0;
    double archCentreY_ = 0;
    double tipBend_ = 0;
    double wobble_ = 0;  // radians
    uint64_t wobbleSeed_ = 0;
};

Grid<float> BuildOrientationField(const OrientationModel& model, int width, int height, int step);

}  // namespace fpsynth
