// Ridge signatures: the grey profile across the ridges of a block, and its extrema (ridge
// centres are minima, valley centres maxima), from which the ridge period is read.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "maps/signature_table.h"

namespace fenrax {

using RidgeSignature = std::array<int32_t, kSignatureLength>;

// Linear offsets of a signature window for one image width.
using SignatureOffsets = std::array<std::array<int32_t, kSignatureWidth>, kSignatureLength>;
SignatureOffsets BuildSignatureOffsets(int direction, int32_t width);

// Row l is the mean of the window's samples along the ridge that lie inside the image
// (taken by linear index, so a sample just off one side of a row reads the neighbouring
// row's edge), 255 when none does; then the profile is smoothed in place with a 3-point
// mean from l = 0 upwards.
RidgeSignature SampleRidgeSignature(std::span<const uint8_t> image, int64_t centre, const SignatureOffsets& offsets);

inline constexpr int kMaximumExtrema = 10;

struct RidgeExtrema {
    int count = 0;
    std::array<int, kMaximumExtrema> position{};
    std::array<bool, kMaximumExtrema> isMaximum{};
};

// Maxima above 19 and minima below 231 of samples 1..22, in order, leaving out one that
// follows a recorded extremum of its kind by 2 samples or less (flat tops and bottoms),
// at most 10.
RidgeExtrema FindRidgeExtrema(const RidgeSignature& signature);

}  // namespace fenrax
