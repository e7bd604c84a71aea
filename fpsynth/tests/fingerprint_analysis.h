// Independent measurements of generated images for the tests: ridge period, binarised
// ridges, singular points from the image's own orientation, checksums. They use plain
// libm and nothing of the generator beyond its thinning, so they check what the images
// show, not what the generator meant.
#pragma once

#include <cstdint>
#include <vector>

#include "core/grid.h"
#include "fpsynth/fingerprint.h"

namespace fpsynth::testing {

// FNV-1a, 64 bits.
uint64_t Checksum(const std::vector<uint8_t>& bytes);

// Ridge period in pixels of 32 x 32 blocks lying wholly where mask is non-zero, from the
// autocorrelation of the grey profile across the ridges; blocks without a clear period
// are left out.
std::vector<double> BlockRidgePeriods(const GreyImage& image, const GreyImage& mask);

// Dark ridges as 1 where the pixel is darker than the mean of its 15 x 15 neighbourhood
// and mask is non-zero; 0 elsewhere.
Grid<uint8_t> BinariseRidges(const GreyImage& image, const GreyImage& mask);

// Skeleton points with crossing number 1 or 3 (types as minutiae, direction unset).
std::vector<Minutia> SkeletonMinutiae(const Grid<uint8_t>& skeleton);

// Singular points of the image's ridge orientation (Poincare index of half a turn),
// looked for where mask is non-zero at least margin pixels from its edge; points closer
// than 20 pixels are merged.
std::vector<SingularPoint> FindSingularPoints(const GreyImage& image, const GreyImage& mask, int margin);

// Mask of the non-white part of a master rendering (the finger).
GreyImage FingerMask(const GreyImage& master);

}  // namespace fpsynth::testing
