#include "capture/exposure_rules.h"

#include <algorithm>
#include <cstdlib>

namespace kestrix {
namespace {

// Steps the gain index towards the target band. The first two frames of a finger keep
// their gain: the finger is still settling and its brightness says little yet.
void AdjustGain(int32_t mean, ExposureState& exposure)
{
    if (exposure.tries <= 1 || (mean >= kTargetMeanLow && mean <= kTargetMeanHigh)) {
        return;
    }
    exposure.SetGainIndex(exposure.gainIndex + BrightnessStep(mean));
}

}  // namespace

CaptureStatus JudgeImage(const ImageStatistics& statistics, ExposureState& exposure)
{
    const int32_t area = statistics.area;
    if (area <= kMinFingerArea) {
        exposure.Reset();
        return kNoFinger;
    }
    const int32_t mean = statistics.mean;
    const int32_t change = std::abs(area - exposure.previousArea);
    exposure.previousArea = area;

    const bool largeAndSteady = change < kSteadyAreaChange && area > kGoodFingerArea;
    if (exposure.tries > 1 && mean >= kTargetMeanLow && mean <= kTargetMeanHigh && largeAndSteady) {
        return kGoodImage;
    }
    // Bright even at the lowest gains after several tries: the best this finger gives.
    if (mean >= kTargetMeanLow && largeAndSteady && exposure.tries >= kAcceptableTries &&
        exposure.gainIndex <= kAcceptableMaxGainIndex) {
        return kAcceptable;
    }
    if (exposure.tries >= kGiveUpTries) {
        exposure.Reset();
        return kNoFinger;
    }
    AdjustGain(mean, exposure);
    ++exposure.tries;
    return kNotYetGood;
}

}  // namespace kestrix
