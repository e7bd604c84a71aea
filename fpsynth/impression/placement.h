// How a finger lies on an image: which point of the master lands where, turned by how much,
// at what scale, and how the skin is stretched by the press.
//
// The skin distortion follows the usual picture of a finger pressed and dragged on glass:
// the centre of the contact is held by friction and moves rigidly; further out the skin
// follows a small twist, stretch and drag, blended in smoothly with the distance from the
// centre; a gentle random wander is added on top. Its strength is bounded so that the
// mapping stays one-to-one.
#pragma once

#include "core/random.h"

namespace fpsynth {

struct Vec2 {
    double x = 0;
    double y = 0;
};

struct SkinDistortion {
    double holdRadius = 60;   // image pixels around the contact centre that do not move
    double blendWidth = 110;  // over which the outer movement fades in
    double twist = 0;         // radians
    double stretch = 0;       // relative
    Vec2 drag;                // image pixels
    double wander = 0;        // amplitude of the random part, image pixels
    uint64_t wanderSeed = 0;
};

class Placement {
public:
    // masterAnchor lands on imageAnchor; scale is image pixels per master pixel; rotation in
    // radians turns the finger clockwise on screen.
    Placement(Vec2 masterAnchor, Vec2 imageAnchor, double scale, double rotation, const SkinDistortion& distortion);

    Vec2 MasterFromImage(Vec2 image) const;
    // The inverse, found by Newton steps (used for a few points, not for pixels).
    Vec2 ImageFromMaster(Vec2 master) const;
    // Direction (radians) in the image of a master direction at a master point.
    double ImageDirection(Vec2 master, double masterDirection) const;

    double Scale() const { return scale_; }

private:
    Vec2 Displacement(Vec2 offset) const;

    Vec2 masterAnchor_;
    Vec2 imageAnchor_;
    double scale_;
    double cos_;
    double sin_;
    SkinDistortion distortion_;
};

// A distortion drawn from random with the given strength (0 none, 1 typical, 2 strong).
SkinDistortion DrawSkinDistortion(Random& random, double strength, double fingerSize);

}  // namespace fpsynth
