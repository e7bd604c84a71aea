// The library's own pseudo-random numbers: xoshiro256** seeded through splitmix64, with
// uniform and bell-shaped draws written out here, since the distributions of the standard
// library give different numbers on different standard libraries.
#pragma once

#include <cstdint>

namespace fpsynth {

// One step of splitmix64; also a good 64-bit mixing function for deriving seeds.
inline uint64_t SplitMix64(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A seed for a sub-stream (finger i of a data set, impression j of a finger, ...).
inline uint64_t DeriveSeed(uint64_t seed, uint64_t stream)
{
    uint64_t state = seed ^ (stream * 0xD1B54A32D192ED03ull);
    SplitMix64(state);
    return SplitMix64(state);
}

class Random {
public:
    explicit Random(uint64_t seed)
    {
        uint64_t state = seed;
        for (uint64_t& word : s_) {
            word = SplitMix64(state);
        }
    }

    uint64_t Next()
    {
        const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
        const uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = Rotl(s_[3], 45);
        return result;
    }

    // Uniform in [0, 1), 53 random bits.
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    // Uniform in [0, n); n > 0.
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(((Next() >> 32) * n) >> 32); }
    bool Chance(double probability) { return Uniform() < probability; }
    double Sign() { return (Next() >> 63) != 0 ? 1.0 : -1.0; }

    // Zero mean, unit variance, bell-shaped (sum of four uniforms), bounded by +-3.46:
    // no far outliers to break the geometry that is drawn from it.
    double Normal()
    {
        const double sum = Uniform() + Uniform() + Uniform() + Uniform();
        return (sum - 2.0) * 1.7320508075688772;
    }
    double Normal(double mean, double deviation) { return mean + deviation * Normal(); }

private:
    static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    uint64_t s_[4];
};

}  // namespace fpsynth
