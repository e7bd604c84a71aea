// Judges one image by its statistics and steers the gain for the next frame.
#pragma once

#include "capture/exposure_state.h"
#include "capture/image_statistics.h"

namespace kestrix {

// Result of one capture.
enum CaptureStatus : int {
    kNoFrame = -1,    // no connection, or the transfer failed; the caller's image is untouched
    kNoFinger = 0,    // no finger, or the control gave up; the exposure state was reset
    kNotYetGood = 1,  // finger present; the gain may have changed for the next frame
    kGoodImage = 2,   //
    kAcceptable = 3,  // bright, but taken at the lowest gains
};

// Thresholds of the judgement.
inline constexpr int32_t kMinFingerArea = 4000;     // a finger needs more bright pixels than this
inline constexpr int32_t kGoodFingerArea = 15000;   // a usable image needs more than this
inline constexpr int32_t kSteadyAreaChange = 3000;  // a steady finger changes area by less
inline constexpr int32_t kTargetMeanLow = 80;
inline constexpr int32_t kTargetMeanHigh = 100;
inline constexpr int32_t kGiveUpTries = 25;
inline constexpr int32_t kAcceptableTries = 6;
inline constexpr int32_t kAcceptableMaxGainIndex = 3;

// Applies the rules in order (finger present, good, acceptable, give up, not yet good)
// and updates the exposure state accordingly.
CaptureStatus JudgeImage(const ImageStatistics& statistics, ExposureState& exposure);

}  // namespace kestrix
