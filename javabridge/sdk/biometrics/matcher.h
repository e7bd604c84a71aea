// Comparison of two minutiae templates: the minutiae whose neighbourhoods look alike
// propose how one print lies on the other (rotation and shift); under the best of those
// proposals, minutiae that land close to one another with a similar direction are paired.
// The score is the share of both templates' minutiae that were paired, 0 to 100.
#pragma once

#include <utility>
#include <vector>

#include "biometrics/template_format.h"

namespace dactis {

struct MatchOutcome {
    int score = 0;
    std::vector<std::pair<int, int>> pairs;  // (query index, reference index)
};

// rotationMax: degrees, 0..DC_MAX_ROTATION; proposals turning further are not tried.
MatchOutcome MatchTemplates(const FingerTemplate& query, const FingerTemplate& reference, int rotationMax);

}  // namespace dactis
