// Minutiae of a grey fingerprint image: the finger's area, its ridges made binary and
// thin, then line ends and forks of the thinned ridges well inside the finger.
#pragma once

#include <cstdint>
#include <span>

#include "biometrics/template_format.h"
#include "core/grey_view.h"

namespace dactis {

struct Extraction {
    int result = 0;  // DC_OK or DC_ERROR_POOR_IMAGE
    FingerTemplate fingerTemplate;
};

// The view's size must already be within DC_MIN_IMAGE_SIDE..DC_MAX_IMAGE_SIDE and the
// resolution within its range.
Extraction ExtractMinutiae(const GreyView& image, int resolution);

}  // namespace dactis
