// From a touch raster to the grey levels of a print: light background, slightly darker
// skin between ridges, dark ridges; then sensor noise, the blur of the optics, and the
// contrast and brightness of the device.
#pragma once

#include <cstdint>

#include "core/random.h"
#include "fpsynth/fingerprint.h"
#include "impression/touch.h"

namespace fpsynth {

struct PaperTone {
    double background = 240;
    double valley = 220;
    double ridge = 50;
    double noise = 0;       // standard deviation of the sensor noise, grey levels
    double contrast = 1;    // about mid-grey
    double brightness = 0;  // added
};

PaperTone DrawPaperTone(Random& random, double noise);
GreyImage ToneImpression(const TouchRaster& raster, const PaperTone& tone, uint64_t noiseSeed);

// Smooths a float image with the 3x3 binomial kernel, edges replicated; the blur of optics.
void BlurBinomial(Grid<float>& image);

}  // namespace fpsynth
