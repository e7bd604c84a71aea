#include "maps/ridge_period.h"

#include <array>
#include <cstdlib>

#include "maps/direction_lines.h"

namespace fenrax {
namespace {

// Mean spacing of successive extrema of one kind, times ten; 0 when there are fewer than two.
int32_t MeanSpacing(const RidgeExtrema& e, bool maxima)
{
    int32_t sum = 0;
    int32_t pairs = 0;
    int previous = -1;
    for (int k = 0; k < e.count; ++k) {
        if (e.isMaximum[k] != maxima) {
            continue;
        }
        if (previous >= 0) {
            sum += 10 * (e.position[k] - previous);
            ++pairs;
        }
        previous = e.position[k];
    }
    return pairs > 0 ? sum / pairs : 0;
}

struct RegularityLimits {
    int stepChange;  // largest change between successive spacings
    int rise;        // smallest grey rise between successive extrema
};

RegularityLimits LimitsFor(int32_t period)
{
    if (period <= 90) {
        return {2, 15};
    }
    if (period <= 110) {
        return {3, 25};
    }
    return {4, 25};
}

}  // namespace

int32_t PeriodFromExtrema(const RidgeExtrema& e)
{
    for (int k = 1; k < e.count; ++k) {
        if (e.isMaximum[k] == e.isMaximum[k - 1]) {
            return kNoPeriod;
        }
    }
    int32_t period = MeanSpacing(e, false);
    if (period == 0) {
        period = MeanSpacing(e, true);
    }
    if (period == 0) {
        period = e.count == 2 ? 20 * (e.position[1] - e.position[0]) : kNoPeriod;
    }
    return period < kShortestPeriod || period > kLongestPeriod ? kNoPeriod : period;
}

int32_t CheckRegularity(int32_t period, const RidgeExtrema& e, const RidgeSignature& sig)
{
    const RegularityLimits limits = LimitsFor(period);
    int previousStep = 0;
    for (int k = 1; k < e.count; ++k) {
        const int step = e.position[k] - e.position[k - 1];
        if (k >= 2 && std::abs(step - previousStep) > limits.stepChange) {
            return kIrregularSpacing;
        }
        const int32_t rise = sig[e.position[k]] - sig[e.position[k - 1]];
        if (std::abs(rise) < limits.rise) {
            return kWeakRidges;
        }
        previousStep = step;
    }
    return period;
}

std::vector<int32_t> MeasureRidgePeriods(std::span<const uint8_t> image, const Geometry& g,
                                         std::span<const uint8_t> directions)
{
    std::vector<int32_t> periods(g.Blocks(), 0);
    std::array<SignatureOffsets, kDirections> offsets;
    for (int d = 0; d < kDirections; ++d) {
        offsets[d] = BuildSignatureOffsets(d, g.paddedWidth);
    }
    for (int32_t by = 1; by <= g.blocksHigh - 2; ++by) {
        for (int32_t bx = 1; bx <= g.blocksWide - 2; ++bx) {
            const size_t b = g.BlockIndex(bx, by);
            const int d = directions[b];
            if (d >= kDirections) {
                continue;
            }
            const int64_t centre = int64_t{8 * by + 4} * g.paddedWidth + (8 * bx + 4);
            const RidgeSignature sig = SampleRidgeSignature(image, centre, offsets[d]);
            const RidgeExtrema extrema = FindRidgeExtrema(sig);
            const int32_t period = PeriodFromExtrema(extrema);
            periods[b] = period > 0 ? CheckRegularity(period, extrema, sig) : period;
        }
    }
    return periods;
}

}  // namespace fenrax
