#include "maps/ridge_signature.h"

namespace fenrax {
namespace {

constexpr int32_t kBrightestMinimum = 230;  // a ridge centre is darker than this
constexpr int32_t kDarkestMaximum = 20;     // a valley centre brighter than this
constexpr int kPlateau = 2;                 // an extremum this close after one of its kind repeats it

// True when one of the last two recorded extrema has the same kind within kPlateau samples.
bool RepeatsRecent(const RidgeExtrema& found, int position, bool isMaximum)
{
    for (int back = 1; back <= 2 && back <= found.count; ++back) {
        const int k = found.count - back;
        if (found.isMaximum[k] == isMaximum && position - found.position[k] <= kPlateau) {
            return true;
        }
    }
    return false;
}

}  // namespace

SignatureOffsets BuildSignatureOffsets(int direction, int32_t width)
{
    const auto& window = RidgeSignatureTable()[direction];
    SignatureOffsets offsets{};
    for (int l = 0; l < kSignatureLength; ++l) {
        for (int s = 0; s < kSignatureWidth; ++s) {
            offsets[l][s] = LinearOffset(window[l][s], width);
        }
    }
    return offsets;
}

RidgeSignature SampleRidgeSignature(std::span<const uint8_t> image, int64_t centre, const SignatureOffsets& offsets)
{
    const int64_t size = static_cast<int64_t>(image.size());
    RidgeSignature sig{};
    for (int l = 0; l < kSignatureLength; ++l) {
        int32_t sum = 0;
        int32_t counted = 0;
        for (const int32_t offset : offsets[l]) {
            const int64_t index = centre + offset;
            if (index >= 0 && index < size) {
                sum += image[index];
                ++counted;
            }
        }
        sig[l] = counted > 0 ? sum / counted : 255;
    }
    for (int l = 0; l < kSignatureLength; ++l) {
        int32_t sum = sig[l];
        int32_t counted = 1;
        if (l > 0) {
            sum += sig[l - 1];
            ++counted;
        }
        if (l + 1 < kSignatureLength) {
            sum += sig[l + 1];
            ++counted;
        }
        sig[l] = sum / counted;
    }
    return sig;
}

RidgeExtrema FindRidgeExtrema(const RidgeSignature& sig)
{
    RidgeExtrema found;
    for (int l = 1; l + 1 < kSignatureLength && found.count < kMaximumExtrema; ++l) {
        const int32_t a = sig[l - 1];
        const int32_t h = sig[l];
        const int32_t b = sig[l + 1];
        if (a == h && h == b) {
            continue;
        }
        bool isMaximum = false;
        if (h >= a && h >= b) {
            if (h < kDarkestMaximum) {
                continue;
            }
            isMaximum = true;
        } else if (h <= a && h <= b) {
            if (h > kBrightestMinimum) {
                continue;
            }
        } else {
            continue;
        }
        if (RepeatsRecent(found, l, isMaximum)) {
            continue;
        }
        found.position[found.count] = l;
        found.isMaximum[found.count] = isMaximum;
        ++found.count;
    }
    return found;
}

}  // namespace fenrax
