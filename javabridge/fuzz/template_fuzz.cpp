// Templates as applications hand them back: read the way the bridge hands them to the SDK
// (from a buffer of the largest template size), parsed, written again, compared with
// themselves and drawn over an image, without reading or writing out of bounds. Each input
// is tried as it is and with its checksum made right, so that the fields behind the
// checksum are reached too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "biometrics/biometric_display.h"
#include "biometrics/matcher.h"
#include "biometrics/template_format.h"
#include "dactis/dactis.h"
#include "fuzz_check.h"

using dactis::fuzzing::Check;

namespace {

void Try(const std::vector<unsigned char>& buffer)
{
    const auto bytes = dactis::CallerTemplate(buffer.data());
    if (!bytes) {
        return;
    }
    Check(bytes->size() <= DC_MAX_TEMPLATE_SIZE, "a caller's template fits the largest size");
    const auto parsed = dactis::ParseTemplate(*bytes);
    if (!parsed) {
        return;
    }
    Check(dactis::EncodeTemplate(*parsed) == *bytes, "a parsed template writes back to its own bytes");

    const dactis::MatchOutcome outcome = dactis::MatchTemplates(*parsed, *parsed, DC_MAX_ROTATION);
    Check(outcome.score >= 0 && outcome.score <= 100, "scores lie in 0..100");
    for (const auto& [q, r] : outcome.pairs) {
        Check(q >= 0 && r >= 0 && static_cast<size_t>(q) < parsed->minutiae.size() &&
                  static_cast<size_t>(r) < parsed->minutiae.size(),
              "pairs name minutiae of the templates");
    }

    // Drawn over a small image: minutiae past its edges are clipped.
    const int width = std::min(parsed->width, 64);
    const int height = std::min(parsed->height, 48);
    const std::vector<uint8_t> pixels(static_cast<size_t>(width * height), 128);
    BmDeviceContext dc = BmGetScreenDC();
    BmBitmap bitmap = nullptr;
    const std::vector<bool> matched(parsed->minutiae.size(), true);
    const int drawn = dactis::DrawBiometricDisplay(*parsed, dactis::GreyView{pixels, width, height},
                                                   dactis::DisplayColours{}, matched, dc, &bitmap);
    Check(drawn == DC_OK && bitmap != nullptr, "a valid template can always be drawn");
    BmDeleteBitmap(bitmap);
    BmReleaseDC(dc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> buffer(DC_MAX_TEMPLATE_SIZE, 0);
    std::copy_n(data, std::min<size_t>(size, buffer.size()), buffer.begin());
    Try(buffer);
    const size_t declared = static_cast<size_t>(buffer[4] | buffer[5] << 8);
    if (declared >= dactis::kTemplateHeaderSize && declared <= buffer.size()) {
        dactis::SealTemplate(buffer);
        Try(buffer);
    }
    return 0;
}
