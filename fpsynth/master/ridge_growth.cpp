#include "master/ridge_growth.h"

#include <cmath>
#include <memory>
#include <vector>

#include "core/det_math.h"

namespace fpsynth {
namespace {

constexpr int kOrientationBins = 48;    // 3.75 degrees
constexpr double kEnvelopeReach = 2.6;  // taps beyond this many deviations are left out

// One filter, stored as its centre weight and one tap of each symmetric pair: the filter is
// even, so a pair shares its weight and costs one multiplication.
struct Kernel {
    float centre = 0;
    std::vector<int32_t> offsets;
    std::vector<float> weights;
};

class KernelBank {
public:
    KernelBank(const GrowthSettings& settings, double minPeriod, int periodBins, int stride)
        : settings_(settings),
          minPeriod_(minPeriod),
          stride_(stride),
          kernels_(static_cast<size_t>(kOrientationBins) * static_cast<size_t>(periodBins))
    {
    }

    static int Reach(const GrowthSettings& settings, double period)
    {
        const double widest =
            settings.alongSpread > settings.acrossSpread ? settings.alongSpread : settings.acrossSpread;
        return static_cast<int>(std::ceil(kEnvelopeReach * widest * period));
    }

    const Kernel& Get(int index)
    {
        std::unique_ptr<Kernel>& slot = kernels_[static_cast<size_t>(index)];
        if (!slot) {
            slot = Build(index % kOrientationBins, index / kOrientationBins);
        }
        return *slot;
    }

private:
    std::unique_ptr<Kernel> Build(int orientationBin, int periodBin) const
    {
        const double theta = orientationBin * (kPi / kOrientationBins);
        const double period = minPeriod_ + periodBin * settings_.periodStep;
        const double c = DetCos(theta);
        const double s = DetSin(theta);
        const double sa = settings_.acrossSpread * period;
        const double sb = settings_.alongSpread * period;
        const int reach = Reach(settings_, period);

        struct Tap {
            int dx, dy;
            double envelope, wave;
        };
        std::vector<Tap> taps;  // the centre first, then one of each pair
        for (int dy = 0; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                if (dy == 0 && dx < 0) {
                    continue;
                }
                const double across = -dx * s + dy * c;
                const double along = dx * c + dy * s;
                const double q = across * across / (sa * sa) + along * along / (sb * sb);
                if (q > kEnvelopeReach * kEnvelopeReach) {
                    continue;
                }
                taps.push_back({dx, dy, DetExp(-0.5 * q), DetCos(kTwoPi * across / period)});
            }
        }
        // No response to flat grey: ridges and valleys come out equally wide. Unit response
        // to a matched sinusoid: the gain alone decides whether a pattern grows.
        double envelopeSum = 0;
        double waveSum = 0;
        for (size_t i = 0; i < taps.size(); ++i) {
            const double pair = i == 0 ? 1.0 : 2.0;
            envelopeSum += pair * taps[i].envelope;
            waveSum += pair * taps[i].envelope * taps[i].wave;
        }
        const double dc = waveSum / envelopeSum;
        double response = 0;
        for (size_t i = 0; i < taps.size(); ++i) {
            const double pair = i == 0 ? 1.0 : 2.0;
            response += pair * taps[i].envelope * (taps[i].wave - dc) * taps[i].wave;
        }
        auto kernel = std::make_unique<Kernel>();
        kernel->centre = static_cast<float>(taps[0].envelope * (taps[0].wave - dc) / response);
        for (size_t i = 1; i < taps.size(); ++i) {
            kernel->offsets.push_back(taps[i].dy * stride_ + taps[i].dx);
            kernel->weights.push_back(static_cast<float>(taps[i].envelope * (taps[i].wave - dc) / response));
        }
        return kernel;
    }

    GrowthSettings settings_;
    double minPeriod_;
    int stride_;
    std::vector<std::unique_ptr<Kernel>> kernels_;
};

}  // namespace

int GrowRidges(Grid<float>& field, const Grid<float>& orientation, const Grid<float>& period,
               const Grid<uint8_t>& region, const GrowthSettings& settings)
{
    double minPeriod = 1e9;
    double maxPeriod = 0;
    for (const float p : period.data) {
        minPeriod = p < minPeriod ? p : minPeriod;
        maxPeriod = p > maxPeriod ? p : maxPeriod;
    }
    const double step = settings.periodStep;
    minPeriod = std::floor(minPeriod / step) * step;
    const int periodBins = static_cast<int>((maxPeriod - minPeriod) / step) + 2;
    const int pad = KernelBank::Reach(settings, minPeriod + periodBins * step);
    const int stride = field.width + 2 * pad;
    const size_t paddedSize = static_cast<size_t>(stride) * static_cast<size_t>(field.height + 2 * pad);
    KernelBank bank(settings, minPeriod, periodBins, stride);

    // The pixels to evolve, with their filters; the padding keeps every tap inside.
    std::vector<int32_t> pixels;
    std::vector<int32_t> filters;
    std::vector<float> current(paddedSize, 0.0f);
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            const int32_t index = (y + pad) * stride + x + pad;
            current[static_cast<size_t>(index)] = field.at(x, y);
            if (region.at(x, y) == 0) {
                continue;
            }
            const int o = static_cast<int>(orientation.at(x, y) * (kOrientationBins / kPi) + 0.5) % kOrientationBins;
            int p = static_cast<int>((period.at(x, y) - minPeriod) / step + 0.5);
            p = p < 0 ? 0 : (p >= periodBins ? periodBins - 1 : p);
            pixels.push_back(index);
            filters.push_back(p * kOrientationBins + o);
        }
    }
    std::vector<float> next = current;
    const auto gain = static_cast<float>(settings.gain);
    const float responseLimit = settings.keepResponse ? 3.0f : 1.0f;

    int passes = 0;
    while (passes < settings.maxPasses) {
        ++passes;
        const bool lastPass = passes == settings.maxPasses;
        size_t reached = 0;
        size_t moved = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            const Kernel& kernel = bank.Get(filters[i]);
            const float* centre = current.data() + pixels[i];
            float sum = kernel.centre * centre[0];
            const size_t taps = kernel.offsets.size();
            const int32_t* offsets = kernel.offsets.data();
            const float* weights = kernel.weights.data();
            for (size_t t = 0; t < taps; ++t) {
                sum += weights[t] * (centre[offsets[t]] + centre[-offsets[t]]);
            }
            float value = gain * sum;
            const float limit = lastPass ? responseLimit : 1.0f;
            value = value > limit ? limit : (value < -limit ? -limit : value);
            const float old = centre[0];
            reached += value > 0.02f || value < -0.02f ? 1 : 0;
            moved += value - old > 0.25f || old - value > 0.25f ? 1 : 0;
            next[static_cast<size_t>(pixels[i])] = value;
        }
        current.swap(next);
        // Settled: the pattern has reached the whole region and a pass no longer moves it.
        // Pixels on the edges of ridges keep trembling a little, which changes nothing.
        const double count = static_cast<double>(pixels.size());
        if (settings.settledChange > 0.0 && reached >= 0.99 * count && moved <= settings.settledChange * count) {
            break;
        }
    }
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            field.at(x, y) = current[static_cast<size_t>((y + pad) * stride + x + pad)];
        }
    }
    return passes;
}

}  // namespace fpsynth
