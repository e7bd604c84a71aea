// The security levels of the comparisons and the score thresholds they stand for. One
// setting serves every comparison that involves a 404 template, the other the
// comparisons of two 9052 templates.
#pragma once

#include <array>
#include <cstdint>

namespace kestrix {

inline constexpr int kMinSecurityLevel = 1;
inline constexpr int kMaxSecurityLevel = 7;
inline constexpr int kDefaultSecurityLevel = 4;
// No threshold is ever stored above this.
inline constexpr int32_t kThresholdCap = 6000;

using ThresholdTable = std::array<int32_t, kMaxSecurityLevel>;  // indexed by level - 1
extern const ThresholdTable kThresholds404;
extern const ThresholdTable kThresholds9052;

struct SecuritySetting {
    int32_t level;
    int32_t threshold;

    // The level and its threshold from the table; the level is returned, or 0 (and
    // nothing changes) when it lies outside 1..7.
    int32_t Put(int level, const ThresholdTable& table);
};

struct SecurityLevels {
    SecuritySetting with404{kDefaultSecurityLevel, 2989};
    SecuritySetting with9052{kDefaultSecurityLevel, 2805};

    // Both settings back at level 4.
    void Reset();
};

}  // namespace kestrix
