// One touch of a master on an image, drawn pixel by pixel: for every image pixel, how
// strongly the finger touches there and how dark its ridges print. Impressions and sensor
// frames both start from this and differ only in how they turn it into grey levels.
#pragma once

#include <cstdint>
#include <vector>

#include "core/grid.h"
#include "fpsynth/fingerprint.h"
#include "impression/contact.h"
#include "impression/placement.h"
#include "master/master_data.h"

namespace fpsynth {

// The state of the skin on this touch.
struct SkinCondition {
    double ridgeThreshold = 0;  // of the master's ridge response: lower prints thicker ridges
    double rimWidth = 10;       // master pixels inside the rim over which ridges thin out
    double dryness = 0;         // 0 none; 1 ridges broken into islands in places
    double unevenness = 0;      // slow variation of pressure over the finger
    double roughness = 0;       // ragged ridge edges
    double pores = 0;           // sweat pores: small light dots on the ridges
    double inkVariation = 0;    // ridges print lighter in places (0 .. 1)
    uint64_t seed = 0;
};

struct Touch {
    Placement placement;
    ContactRegion contact;
    SkinCondition skin;
};

struct TouchRaster {
    Grid<float> contact;   // 0 .. 1
    Grid<float> darkness;  // 0 valley .. 1 ridge, already faded where contact fades
};

TouchRaster RasteriseTouch(const MasterData& master, const Touch& touch, int width, int height);

// The master's minutiae that lie at least margin image pixels inside the contact and
// inside the image, in image coordinates; and its singular points inside the image.
std::vector<Minutia> MinutiaeInImage(const MasterData& master, const Touch& touch, int width, int height,
                                     double margin);
std::vector<SingularPoint> SingularPointsInImage(const MasterData& master, const Touch& touch, int width, int height);

}  // namespace fpsynth
