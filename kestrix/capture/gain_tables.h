// The sensor gain bytes the exposure control steps through, and how far one frame's
// mean brightness moves it.
#pragma once

#include <array>
#include <cstdint>

namespace kestrix {

inline constexpr int kGainSteps = 31;
inline constexpr int kMaxGainIndex = kGainSteps - 1;
inline constexpr int kStartGainIndex = 15;
using GainTable = std::array<uint8_t, kGainSteps>;

// Table A serves readers whose mode byte is 0, table B every other.
extern const GainTable kGainTableA;
extern const GainTable kGainTableB;

// Change of the gain index for a mean brightness of 0..255: up for dark images, none in
// the target band 80..100, down for bright ones (never by exactly one).
int BrightnessStep(int meanBrightness);

}  // namespace kestrix
