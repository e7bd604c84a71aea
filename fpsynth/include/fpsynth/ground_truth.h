// Ground truth written beside each generated image, in a small line-based text format:
//
//     fpsynth-ground-truth 1
//     image f0003_2.png
//     size 352 288
//     class left-loop
//     seeds 1234 5678                  (master seed, impression seed)
//     core 171.25 130.50               (one line per singular point: core or delta)
//     delta 250.00 231.75
//     minutia 123.40 87.25 45.0 ending (x, y, direction in degrees, ending or bifurcation)
//
// Coordinates and directions as in fingerprint.h. Lines starting with '#' and blank lines
// are ignored; the first line, size and class are required; anything else is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fpsynth/fingerprint.h"

namespace fpsynth {

struct GroundTruth {
    std::string image;  // file name of the image beside it; may be empty
    int width = 0;
    int height = 0;
    PatternClass patternClass = PatternClass::Arch;
    uint64_t masterSeed = 0;
    uint64_t impressionSeed = 0;
    std::vector<SingularPoint> singularPoints;
    std::vector<Minutia> minutiae;
};

// Positions with two decimals, directions with one; independent of the locale.
std::string FormatGroundTruth(const GroundTruth& truth);

struct ParsedGroundTruth {
    std::optional<GroundTruth> truth;  // empty when the text was refused
    std::string error;                 // "line N: why", when refused
};

// Refuses malformed text: unknown lines, missing or extra fields, numbers that do not
// parse or are not finite, sizes outside 1 to 16384, points outside the image, directions
// outside [0, 360), more than 100000 lines.
ParsedGroundTruth ParseGroundTruth(std::string_view text);

}  // namespace fpsynth
