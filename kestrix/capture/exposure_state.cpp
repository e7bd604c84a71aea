#include "capture/exposure_state.h"

#include <algorithm>

namespace kestrix {

void ExposureState::Reset()
{
    tries = 0;
    SetGainIndex(kStartGainIndex);
}

void ExposureState::SelectTable(const GainTable& selected)
{
    table = &selected;
    SetGainIndex(kStartGainIndex);
}

void ExposureState::SetGainIndex(int index)
{
    gainIndex = std::clamp(index, 0, kMaxGainIndex);
    gainByte = (*table)[static_cast<size_t>(gainIndex)];
}

}  // namespace kestrix
