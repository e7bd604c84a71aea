// The direction line table: for each of the eight ridge directions d (d x 22.5 degrees from
// +x towards +y), 25 offsets along a line through the block centre about 1.5 pixels apart,
// entry 12 being the centre itself.
#pragma once

#include <array>

#include "maps/block_offsets.h"

namespace fenrax {

inline constexpr int kDirections = 8;
inline constexpr int kNoDirection = 8;
inline constexpr int kLinePoints = 25;
inline constexpr int kLineCentre = 12;

using DirectionLine = std::array<PixelOffset, kLinePoints>;

namespace detail {

constexpr std::array<DirectionLine, kDirections> BuildDirectionLines()
{
    constexpr std::array<int, kLinePoints> along = {-18, -16, -15, -13, -12, -10, -9, -7, -6, -4, -3, -1, 0,
                                                    1,   3,   4,   6,   7,   9,   10, 12, 13, 15, 16, 18};
    // 22.5 degrees: one step across for every 2.5 or so along.
    constexpr std::array<PixelOffset, kLinePoints> shallow = {
        {{-17, -6}, {-16, -5}, {-14, -5}, {-13, -4}, {-11, -4}, {-10, -3}, {-8, -3}, {-7, -2}, {-5, -2},
         {-4, -1},  {-2, -1},  {-1, 0},   {0, 0},    {1, 0},    {2, 1},    {4, 1},   {5, 2},   {7, 2},
         {8, 3},    {10, 3},   {11, 4},   {13, 4},   {14, 5},   {16, 5},   {17, 6}}};
    std::array<DirectionLine, kDirections> lines{};
    for (int k = 0; k < kLinePoints; ++k) {
        lines[0][k] = {along[k], 0};
        lines[1][k] = shallow[k];
        lines[2][k] = {k - kLineCentre, k - kLineCentre};
        lines[3][k] = {shallow[k].dy, shallow[k].dx};
        lines[4][k] = {0, along[k]};
        lines[5][k] = {-lines[3][k].dx, lines[3][k].dy};
        lines[6][k] = {-lines[2][k].dx, lines[2][k].dy};
        lines[7][k] = {-shallow[k].dx, shallow[k].dy};
    }
    return lines;
}

}  // namespace detail

inline constexpr std::array<DirectionLine, kDirections> kDirectionLines = detail::BuildDirectionLines();

}  // namespace fenrax
