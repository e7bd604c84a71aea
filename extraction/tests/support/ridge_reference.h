// Reference measurements of a fingerprint image for judging the extractor's block maps:
// the local ridge orientation from the grey-level gradients (structure tensor) and the
// local ridge period from the autocorrelation of the grey profile across the ridges. Plain
// floating point and nothing of the extractor, so they check what the image shows.
#pragma once

#include <cstdint>
#include <vector>

namespace fenrax::testing {

struct GreyView {
    const uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    double At(double x, double y) const;  // bilinear, 255 off the image
};

// Ridge orientation in degrees [0, 180) around (cx, cy), measured from +x towards +y, from
// the gradients of a (2 half + 1)-pixel square window; coherence 0..1 tells how clear it is.
struct Orientation {
    double degrees = 0;
    double coherence = 0;
};
Orientation RidgeOrientation(const GreyView& image, int cx, int cy, int half);

// Ridge period in pixels around (cx, cy) across ridges running along orientationDegrees;
// 0 when the profile shows no clear period between 4 and 20 pixels.
double RidgePeriod(const GreyView& image, double cx, double cy, double orientationDegrees);

// Distance between two undirected orientations, 0..90 degrees.
double OrientationDistance(double a, double b);

}  // namespace fenrax::testing
