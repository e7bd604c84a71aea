// Smooth random fields: values drawn at the corners of a square lattice and blended with a
// cubic, so a field varies over about one cell and has no seams. Used wherever something
// should wander slowly over a finger: ridge period, skin dryness, pressure, distortion.
#pragma once

#include <cstdint>

namespace fpsynth {

class ValueNoise {
public:
    ValueNoise(uint64_t seed, double cellSize) : seed_(seed), inverseCell_(1.0 / cellSize) {}

    // In [-1, 1].
    double At(double x, double y) const;

private:
    double Lattice(int64_t ix, int64_t iy) const;

    uint64_t seed_;
    double inverseCell_;
};

// Two octaves of value noise; in [-1, 1], with more fine structure than one octave.
class FractalNoise {
public:
    FractalNoise(uint64_t seed, double cellSize) : coarse_(seed, cellSize), fine_(seed ^ 0x5bd1e995u, cellSize * 0.5) {}
    double At(double x, double y) const { return (coarse_.At(x, y) * 2.0 + fine_.At(x, y)) * (1.0 / 3.0); }

private:
    ValueNoise coarse_;
    ValueNoise fine_;
};

}  // namespace fpsynth
