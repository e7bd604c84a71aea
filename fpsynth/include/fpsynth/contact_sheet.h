// One picture of what the generator makes, to judge it by eye: a row for each pattern
// class with its master, three impressions (clean; typical; light, dry and partial) and a
// sensor frame as the reader sees it.
#pragma once

#include <cstdint>

#include "fpsynth/fingerprint.h"

namespace fpsynth {

// Finger r of the sheet (from 1) uses the master seed FingerSeed(seed, r). With
// markMinutiae, the clean impression shows its ground truth: squares for endings,
// diamonds for bifurcations, each with a tick towards its direction.
GreyImage RenderContactSheet(uint64_t seed, bool markMinutiae = false);

}  // namespace fpsynth
