// Second enhancement stage: moves every grey level halfway towards its place in a flat
// histogram, which stretches the contrast of pale and dark prints alike without the harsh
// steps of a full equalisation.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace fenrax {

// The mapping of each grey level for this image: g + (m(g) - g) / 2 clamped to 0..255,
// with m(g) = floor(C(g) x 255 / N) + 1 and C(g) the number of pixels at or below g.
std::array<uint8_t, 256> HalfEqualisationTable(std::span<const uint8_t> image);

// Applies the image's own table to it, in place.
void EqualiseHalfHistogram(std::span<uint8_t> image);

}  // namespace fenrax
