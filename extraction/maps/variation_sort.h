// The sort that ranks a block's eight directions by grey variation along them. Among equal
// variations the order it leaves decides the block's direction, so it is this quicksort
// and no other.
#pragma once

#include <array>
#include <cstdint>

namespace fenrax {

// Sorts the pairs (variation[k], direction[k]) ascending by variation: middle element as
// pivot, crossing scans that swap pairs, recursion on the lower part and a loop on the
// upper one.
void SortVariations(std::array<int32_t, 8>& variation, std::array<uint8_t, 8>& direction);

}  // namespace fenrax
