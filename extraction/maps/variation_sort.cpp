#include "maps/variation_sort.h"

#include <cstddef>
#include <utility>

namespace fenrax {
namespace {

void SortRange(std::array<int32_t, 8>& v, std::array<uint8_t, 8>& d, int lo, int hi)
{
    while (lo < hi) {
        const int32_t pivot = v[(lo + hi) / 2];
        int i = lo;
        int j = hi;
        for (;;) {
            // Each scan stops at the pivot's value or at an element the last swap placed,
            // so neither leaves lo..hi.
            while (v[i] < pivot) {
                ++i;
            }
            while (v[j] > pivot) {
                --j;
            }
            if (i >= j) {
                break;
            }
            std::swap(v[i], v[j]);
            std::swap(d[i], d[j]);
            ++i;
            --j;
        }
        if (lo < i - 1) {
            SortRange(v, d, lo, i - 1);
        }
        lo = j + 1;
    }
}

}  // namespace

void SortVariations(std::array<int32_t, 8>& variation, std::array<uint8_t, 8>& direction)
{
    SortRange(variation, direction, 0, 7);
}

}  // namespace fenrax
