#include "api/security_levels.h"

#include <algorithm>

namespace kestrix {

const ThresholdTable kThresholds404 = {1774, 2146, 2494, 2989, 3199, 3710, 4258};
const ThresholdTable kThresholds9052 = {1668, 2000, 2320, 2805, 3008, 3525, 4150};

int32_t SecuritySetting::Put(int newLevel, const ThresholdTable& table)
{
    if (newLevel < kMinSecurityLevel || newLevel > kMaxSecurityLevel) {
        return 0;
    }
    level = newLevel;
    threshold = std::min(table[static_cast<size_t>(newLevel - 1)], kThresholdCap);
    return level;
}

void SecurityLevels::Reset()
{
    with404.Put(kDefaultSecurityLevel, kThresholds404);
    with9052.Put(kDefaultSecurityLevel, kThresholds9052);
}

}  // namespace kestrix
