// The exposure control's memory between frames: where it stands in the gain table, how
// many frames with a finger have not been good yet, and the last finger area seen.
#pragma once

#include <cstdint>

#include "capture/gain_tables.h"

namespace kestrix {

struct ExposureState {
    const GainTable* table = &kGainTableA;  // chosen by the reader's mode byte at each connection start
    int32_t gainIndex = kStartGainIndex;
    uint8_t gainByte = kGainTableA[kStartGainIndex];  // sent with the next CaptureFrame
    int32_t tries = 0;
    int32_t previousArea = 0;

    // Back to the middle of the table with no tries counted; the previous area is kept.
    void Reset();
    // Selects the table for this connection; the next frame goes out at its middle gain.
    void SelectTable(const GainTable& selected);
    // Moves the gain index, held within the table, and the gain byte with it.
    void SetGainIndex(int index);
};

}  // namespace kestrix
