// Any text given to the ground-truth parser is parsed or refused; what parses formats and
// parses again to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fpsynth/ground_truth.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const fpsynth::ParsedGroundTruth parsed = fpsynth::ParseGroundTruth(text);
    if (!parsed.truth) {
        if (parsed.error.empty()) {
            std::abort();
        }
        return 0;
    }
    const fpsynth::ParsedGroundTruth again = fpsynth::ParseGroundTruth(fpsynth::FormatGroundTruth(*parsed.truth));
    if (!again.truth || again.truth->minutiae.size() != parsed.truth->minutiae.size() ||
        again.truth->singularPoints.size() != parsed.truth->singularPoints.size() ||
        again.truth->width != parsed.truth->width) {
        std::abort();
    }
    return 0;
}
