// Master fingerprints: the whole ridge pattern of one synthetic finger at 500 dpi, from
// which any number of impressions are taken.
//
// A master is grown in stages: a rounded finger outline of realistic size; singular points
// for its pattern class, placed with natural variation; an orientation field from those
// points (zero-pole model, each point with its own smooth angular correction; arches get
// an arch-shaped field); a smoothly varying ridge period of about 8 to 11 pixels; ridges
// grown from random seeds by repeated oriented band-pass (Gabor) filtering until the
// pattern is stable; and finally the minutiae, read from the thinned binary ridges.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "fpsynth/fingerprint.h"

namespace fpsynth {

struct MasterData;

struct MasterOptions {
    uint64_t seed = 1;
    // Drawn from the seed with the classes' natural frequencies when not given
    // (loops about two thirds, whorls a quarter, arches and tented arches the rest).
    std::optional<PatternClass> patternClass;
};

// Immutable and cheap to copy (the pattern is shared between copies).
class MasterFingerprint {
public:
    // Deterministic: the same options give the same master, byte for byte, everywhere.
    static MasterFingerprint Generate(const MasterOptions& options);

    uint64_t Seed() const;
    PatternClass Class() const;
    int Width() const;
    int Height() const;
    // Ridge endings and bifurcations inside the finger, in master pixels.
    const std::vector<Minutia>& Minutiae() const;
    const std::vector<SingularPoint>& SingularPoints() const;
    // The pattern as a perfect print: dark ridges on white, white outside the finger.
    GreyImage Render() const;

    const MasterData& Data() const { return *data_; }

private:
    explicit MasterFingerprint(std::shared_ptr<const MasterData> data) : data_(std::move(data)) {}

    std::shared_ptr<const MasterData> data_;
};

}  // namespace fpsynth
