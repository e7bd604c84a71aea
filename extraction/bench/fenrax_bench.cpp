// How fast the extractor's stages run, per image, on one core: synthetic impressions of
// 256 x 256 and 300 x 300 (typical noise), each stage timed alone on a fresh working
// image, then the whole extraction as FPD_Process runs it. Medians of many runs.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "enhancement/half_equalisation.h"
#include "enhancement/smoothing.h"
#include "fpsynth/impression.h"
#include "fpsynth/master.h"
#include "interface/extraction_pipeline.h"
#include "interface/module_state.h"
#include "maps/block_direction.h"
#include "maps/direction_smoothing.h"
#include "maps/period_consistency.h"
#include "maps/period_filling.h"
#include "maps/ridge_period.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 60;  // per image

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Median milliseconds of `stage` over kRounds runs on each image; `prepare` sets up its
// input untimed before each run.
double Time(const std::vector<fpsynth::Impression>& images, const std::function<void(size_t)>& prepare,
            const std::function<void(size_t)>& stage)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < images.size(); ++i) {
            prepare(i);
            const auto start = Clock::now();
            stage(i);
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    return Median(times);
}

void Measure(int side)
{
    std::vector<fpsynth::Impression> images;
    for (uint64_t seed = 1; seed <= 8; ++seed) {
        fpsynth::MasterOptions m;
        m.seed = 100 + seed;
        m.patternClass = fpsynth::kPatternClasses[seed % fpsynth::kPatternClasses.size()];
        fpsynth::ImpressionOptions o;
        o.width = side;
        o.height = side;
        o.seed = seed;
        images.push_back(fpsynth::RenderImpression(fpsynth::MasterFingerprint::Generate(m), o));
    }
    const fenrax::Geometry g = *fenrax::MakeGeometry(side, side);
    std::vector<uint8_t> working;
    std::vector<uint8_t> directions(g.Blocks());
    std::vector<uint8_t> periodMap(g.Blocks());
    std::vector<int32_t> periods;
    auto placed = [&](size_t i) { working = fenrax::PlaceRawImage(g, images[i].image.pixels.data()); };
    auto smoothed = [&](size_t i) {
        placed(i);
        fenrax::SmoothImage(working, g.paddedWidth, g.paddedHeight);
    };
    auto enhanced = [&](size_t i) {
        smoothed(i);
        fenrax::EqualiseHalfHistogram(working);
    };
    auto directed = [&](size_t i) {
        enhanced(i);
        fenrax::EstimateBlockDirections(working, g, directions);
        fenrax::SmoothDirections(g, directions);
    };
    auto measured = [&](size_t i) {
        directed(i);
        periods = fenrax::MeasureRidgePeriods(working, g, directions);
    };

    std::printf("%d x %d (working image %d x %d, %d x %d blocks), %zu images x %d rounds, median ms per image:\n", side,
                side, g.paddedWidth, g.paddedHeight, g.blocksWide, g.blocksHigh, images.size(), kRounds);
    const double smoothing =
        Time(images, placed, [&](size_t) { fenrax::SmoothImage(working, g.paddedWidth, g.paddedHeight); });
    const double equalisation = Time(images, smoothed, [&](size_t) { fenrax::EqualiseHalfHistogram(working); });
    const double blockDirections =
        Time(images, enhanced, [&](size_t) { fenrax::EstimateBlockDirections(working, g, directions); });
    const double directionSmoothing = Time(
        images,
        [&](size_t i) {
            enhanced(i);
            fenrax::EstimateBlockDirections(working, g, directions);
        },
        [&](size_t) { fenrax::SmoothDirections(g, directions); });
    const double signatures =
        Time(images, directed, [&](size_t) { periods = fenrax::MeasureRidgePeriods(working, g, directions); });
    const double checksAndFilling = Time(images, measured, [&](size_t) {
        fenrax::RejectInconsistentPeriods(g, directions, periods);
        fenrax::FillPeriods(g, periods);
    });
    fenrax::NoDumps noDumps;
    const double enhanceAndMap =
        Time(images, placed, [&](size_t) { fenrax::EnhanceAndMap(working, g, directions, periodMap, noDumps); });
    fenrax::ModuleState state;
    fenrax::InitialiseModule(state, side, side, 400);
    std::vector<uint8_t> out(400);
    const double process = Time(
        images, [](size_t) {},
        [&](size_t i) { fenrax::ProcessImage(state, images[i].image.pixels.data(), out.data(), 0); });
    std::printf("  smoothing                          %7.3f\n", smoothing);
    std::printf("  half histogram equalisation        %7.3f\n", equalisation);
    std::printf("  block directions                   %7.3f\n", blockDirections);
    std::printf("  direction smoothing                %7.3f\n", directionSmoothing);
    std::printf("  signatures, periods, regularity    %7.3f\n", signatures);
    std::printf("  consistency and filling            %7.3f\n", checksAndFilling);
    std::printf("  enhancement and both maps          %7.3f\n", enhanceAndMap);
    std::printf("  FPD_Process (stages built so far)  %7.3f\n", process);
}

}  // namespace

int main()
{
    Measure(256);
    Measure(300);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the whole benchmark: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
