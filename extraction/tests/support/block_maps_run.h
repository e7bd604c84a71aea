// The block maps of an image as FPD_Process builds them, for the maps' tests.
#pragma once

#include <cstdint>
#include <vector>

#include "interface/extraction_pipeline.h"

namespace fenrax::testing {

struct MapsRun {
    Geometry geometry;
    std::vector<uint8_t> directions;
    std::vector<uint8_t> periods;

    int Direction(int bx, int by) const { return directions[geometry.BlockIndex(bx, by)]; }
    // The period value whose low byte the map holds: 0..200, or -4..-1 stored as 252..255.
    int Period(int bx, int by) const
    {
        const int p = periods[geometry.BlockIndex(bx, by)];
        return p >= 252 ? p - 256 : p;
    }
    bool OnRing(int bx, int by) const
    {
        return bx == 0 || by == 0 || bx == geometry.blocksWide - 1 || by == geometry.blocksHigh - 1;
    }
    // Interior blocks off the four corners of the interior, where the lines of a block
    // reach the image's border on two sides.
    bool InInterior(int bx, int by) const
    {
        const int lastX = geometry.blocksWide - 2;
        const int lastY = geometry.blocksHigh - 2;
        const bool cornerX = bx == 1 || bx == lastX;
        const bool cornerY = by == 1 || by == lastY;
        return geometry.IsInteriorBlock(bx, by) && !(cornerX && cornerY);
    }
};

inline MapsRun RunBlockMaps(const std::vector<uint8_t>& raw, int width, int height)
{
    MapsRun run{*MakeGeometry(width, height), {}, {}};
    run.directions.resize(run.geometry.Blocks());
    run.periods.resize(run.geometry.Blocks());
    std::vector<uint8_t> working = PlaceRawImage(run.geometry, raw.data());
    NoDumps noDumps;
    EnhanceAndMap(working, run.geometry, run.directions, run.periods, noDumps);
    return run;
}

}  // namespace fenrax::testing
