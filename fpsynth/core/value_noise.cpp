#include "core/value_noise.h"

#include <cmath>

#include "core/random.h"

namespace fpsynth {

double ValueNoise::Lattice(int64_t ix, int64_t iy) const
{
    uint64_t state = seed_ ^ (static_cast<uint64_t>(ix) * 0x9E3779B97F4A7C15ull) ^
                     (static_cast<uint64_t>(iy) * 0xC2B2AE3D27D4EB4Full);
    const uint64_t bits = SplitMix64(state);
    return static_cast<double>(bits >> 11) * 0x1.0p-52 - 1.0;
}

double ValueNoise::At(double x, double y) const
{
    const double gx = x * inverseCell_;
    const double gy = y * inverseCell_;
    const double fx0 = std::floor(gx);
    const double fy0 = std::floor(gy);
    const auto ix = static_cast<int64_t>(fx0);
    const auto iy = static_cast<int64_t>(fy0);
    double tx = gx - fx0;
    double ty = gy - fy0;
    tx = tx * tx * (3.0 - 2.0 * tx);
    ty = ty * ty * (3.0 - 2.0 * ty);
    const double a = Lattice(ix, iy);
    const double b = Lattice(ix + 1, iy);
    const double c = Lattice(ix, iy + 1);
    const double d = Lattice(ix + 1, iy + 1);
    const double top = a + (b - a) * tx;
    const double bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

}  // namespace fpsynth
