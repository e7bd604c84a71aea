// Impressions: what a sensor shows of a master on one touch. The finger is turned, shifted
// and its skin stretched by the press; only the part in contact shows, with ridges as thick
// as the pressure makes them; dry skin, sensor noise, blur, contrast and brightness vary.
// Dark ridges on a light background, 8-bit grey, at any size.
#pragma once

#include <cstdint>
#include <vector>

#include "fpsynth/fingerprint.h"
#include "fpsynth/master.h"

namespace fpsynth {

struct ImpressionOptions {
    int width = 352;  // 1 to 4096 each
    int height = 288;
    uint64_t seed = 1;            // draws the pose and the appearance
    double scale = 1.0;           // image pixels per master pixel; 1 is 500 dpi
    double maxRotation = 20.0;    // degrees either way
    double maxShift = 0.1;        // of the contact centre from the image centre, as a share of each side
    double distortion = 1.0;      // skin distortion: 0 rigid, 1 typical, up to 2 strong
    double noise = 1.0;           // dry skin, sensor noise, uneven pressure: 0 none, 1 typical, up to 2
    double pressureSpread = 1.0;  // how far pressure strays from nominal: 0 always nominal
    bool partialContact = true;   // some impressions lose a side of the finger
};

// Options for impressions whose ridges are exactly those of the master: no noise, nominal
// pressure, full contact; still turned, shifted and distorted.
ImpressionOptions CleanImpressionOptions(int width, int height, uint64_t seed);

struct ImpressionPose {
    double rotation = 0;  // degrees, positive turns the finger clockwise on screen
    double shiftX = 0;    // of the contact centre from the image centre, pixels
    double shiftY = 0;
    double pressure = 0.5;  // 0 light (thin ridges, small contact), 0.5 nominal, 1 hard
    bool cut = false;       // a side of the finger did not touch
};

struct Impression {
    GreyImage image;
    GreyImage foreground;  // 255 where the finger touches the sensor, 0 elsewhere
    // The master's minutiae and singular points as they land in this image; minutiae only
    // where they lie at least 8 pixels inside the touching part.
    std::vector<Minutia> minutiae;
    std::vector<SingularPoint> singularPoints;
    ImpressionPose pose;
};

// Deterministic in the master and the options. Throws std::invalid_argument on a size or
// an option out of range.
Impression RenderImpression(const MasterFingerprint& master, const ImpressionOptions& options);

}  // namespace fpsynth
