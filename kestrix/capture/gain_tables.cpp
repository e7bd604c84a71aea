#include "capture/gain_tables.h"

#include <algorithm>

namespace kestrix {

const GainTable kGainTableA = {0,  2,  4,  6,  7,  9,  10, 12, 14,  16,  20,  22,  26,  28,  30, 35,
                               38, 42, 45, 52, 59, 67, 75, 89, 100, 119, 146, 172, 197, 210, 255};
const GainTable kGainTableB = {0,  4,  8,  12, 16, 20,  22,  26,  29,  34,  38,  41,  46,  51,  56, 62,
                               68, 74, 78, 87, 94, 103, 112, 123, 136, 150, 164, 184, 201, 226, 255};

namespace {

// Each band of mean brightness [first, last] and its step.
struct StepBand {
    int last;
    int step;
};

constexpr std::array<StepBand, 12> kStepBands = {{
    {39, 6},
    {47, 5},
    {55, 4},
    {63, 3},
    {71, 2},
    {79, 1},
    {100, 0},
    {110, -2},
    {120, -3},
    {132, -4},
    {145, -5},
    {255, -6},
}};

constexpr std::array<int8_t, 256> MakeStepTable()
{
    std::array<int8_t, 256> table{};
    int mean = 0;
    for (const StepBand& band : kStepBands) {
        for (; mean <= band.last; ++mean) {
            table[static_cast<size_t>(mean)] = static_cast<int8_t>(band.step);
        }
    }
    return table;
}

constexpr std::array<int8_t, 256> kBrightnessSteps = MakeStepTable();

}  // namespace

int BrightnessStep(int meanBrightness)
{
    return kBrightnessSteps[static_cast<size_t>(std::clamp(meanBrightness, 0, 255))];
}

}  // namespace kestrix
