// The signature table: for each ridge direction d, a window of 24 sample rows across the
// ridges (l) by 8 samples along them (s), turned to the direction: offset
// (floor(u cos t - v sin t), floor(u sin t + v cos t)) with u = s - 4, v = 12 - l and
// t = d x 22.5 degrees. For d = 0 this is (s - 4, 12 - l).
#pragma once

#include <array>

#include "maps/block_offsets.h"
#include "maps/direction_lines.h"

namespace fenrax {

inline constexpr int kSignatureLength = 24;  // samples across the ridges, one pixel apart
inline constexpr int kSignatureWidth = 8;    // averaged along the ridge

using SignatureTable = std::array<std::array<std::array<PixelOffset, kSignatureWidth>, kSignatureLength>, kDirections>;

// Built once. Rotated coordinates that are whole numbers (direction 4 among others) are
// taken exactly, not one lower through rounding residue.
const SignatureTable& RidgeSignatureTable();

}  // namespace fenrax
