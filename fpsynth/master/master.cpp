// The master pipeline: outline, singular points, orientation, period, ridges, minutiae.
#include "fpsynth/master.h"

#include <cmath>

#include "core/det_math.h"
#include "core/random.h"
#include "master/master_data.h"
#include "master/orientation_field.h"
#include "master/period_map.h"
#include "master/ridge_cleanup.h"
#include "master/ridge_growth.h"
#include "master/singular_points.h"
#include "minutiae/minutiae_detection.h"
#include "minutiae/skeleton.h"

namespace fpsynth {
namespace {

constexpr int kCanvasMargin = 24;     // room around the finger outline
constexpr double kGrowthMargin = 18;  // ridges reach this far beyond the outline
constexpr double kMinutiaMargin = 6;  // minutiae this close to the outline are left out

PatternClass DrawPatternClass(Random& random)
{
    // Frequencies of the classes among fingers at large.
    const double u = random.Uniform();
    if (u < 0.037) {
        return PatternClass::Arch;
    }
    if (u < 0.066) {
        return PatternClass::TentedArch;
    }
    if (u < 0.404) {
        return PatternClass::LeftLoop;
    }
    if (u < 0.721) {
        return PatternClass::RightLoop;
    }
    return PatternClass::Whorl;
}

Grid<uint8_t> GrowthRegion(const FingerShape& shape, int width, int height, int step)
{
    Grid<uint8_t> region((width + step - 1) / step, (height + step - 1) / step);
    for (int y = 0; y < region.height; ++y) {
        for (int x = 0; x < region.width; ++x) {
            region.at(x, y) = shape.Inside(x * step, y * step) > -kGrowthMargin ? 1 : 0;
        }
    }
    return region;
}

// Ridges grown first at half resolution, where a pass is sixteen times cheaper and fronts
// travel twice as far, then brought to full resolution and settled there.
Grid<float> GrowPattern(const FingerShape& shape, const OrientationModel& orientation, const PeriodModel& period,
                        int width, int height, Random& random)
{
    const Grid<float> coarseOrientation = BuildOrientationField(orientation, width, height, 2);
    const Grid<float> coarsePeriod = BuildPeriodField(period, width, height, 2);
    const Grid<uint8_t> coarseRegion = GrowthRegion(shape, width, height, 2);
    Grid<float> coarse(coarseRegion.width, coarseRegion.height);

    // Each seed is a patch of ridges about one period across, following the maps there,
    // with a phase of its own.
    const double area = kPi * shape.halfWidth * (shape.tipHeight + shape.lowerHeight);
    const int seeds = static_cast<int>(area / 5200.0);
    for (int placed = 0; placed < seeds;) {
        const int sx = static_cast<int>(random.Below(static_cast<uint32_t>(coarse.width)));
        const int sy = static_cast<int>(random.Below(static_cast<uint32_t>(coarse.height)));
        const double phase = random.Uniform(0.0, kTwoPi);
        if (shape.Inside(sx * 2, sy * 2) < 4.0) {
            continue;
        }
        const double theta = coarseOrientation.at(sx, sy);
        const double p = coarsePeriod.at(sx, sy);
        const double nx = -DetSin(theta);
        const double ny = DetCos(theta);
        const int reach = static_cast<int>(p);
        for (int y = sy - reach; y <= sy + reach; ++y) {
            for (int x = sx - reach; x <= sx + reach; ++x) {
                const double dx = x - sx;
                const double dy = y - sy;
                if (!coarse.Contains(x, y) || dx * dx + dy * dy > p * p) {
                    continue;
                }
                coarse.at(x, y) = static_cast<float>(DetCos(kTwoPi * (dx * nx + dy * ny) / p + phase));
            }
        }
        ++placed;
    }
    GrowthSettings coarseSettings;
    coarseSettings.maxPasses = 48;
    GrowRidges(coarse, coarseOrientation, coarsePeriod, coarseRegion, coarseSettings);

    Grid<float> ridges(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ridges.at(x, y) = static_cast<float>(SampleBilinear(coarse, x * 0.5, y * 0.5));
        }
    }
    GrowthSettings fineSettings;
    fineSettings.maxPasses = 2;
    fineSettings.settledChange = 0.0;
    fineSettings.acrossSpread = 0.38;
    fineSettings.alongSpread = 0.42;
    fineSettings.periodStep = 0.25;
    fineSettings.keepResponse = true;
    GrowRidges(ridges, BuildOrientationField(orientation, width, height, 1), BuildPeriodField(period, width, height, 1),
               GrowthRegion(shape, width, height, 1), fineSettings);
    return ridges;
}

std::vector<Minutia> FindMasterMinutiae(const Grid<float>& ridges, const FingerShape& shape)
{
    Grid<uint8_t> skeleton(ridges.width, ridges.height);
    Grid<uint8_t> valid(ridges.width, ridges.height);
    for (int y = 0; y < ridges.height; ++y) {
        for (int x = 0; x < ridges.width; ++x) {
            const double inside = shape.Inside(x, y);
            skeleton.at(x, y) = ridges.at(x, y) > 0.0f && inside > -kGrowthMargin + 2 ? 1 : 0;
            valid.at(x, y) = inside >= kMinutiaMargin ? 1 : 0;
        }
    }
    ThinRidges(skeleton);
    return DetectMinutiae(skeleton, valid, DetectionRules{});
}

}  // namespace

MasterFingerprint MasterFingerprint::Generate(const MasterOptions& options)
{
    Random random(options.seed);
    auto data = std::make_shared<MasterData>();
    data->seed = options.seed;
    // Drawn even when given, so that a given class leaves the rest of the finger unchanged.
    const PatternClass drawn = DrawPatternClass(random);
    data->patternClass = options.patternClass.value_or(drawn);
    data->shape = DrawFingerShape(random, kCanvasMargin);
    const int width = static_cast<int>(std::ceil(2.0 * data->shape.centreX));
    const int height = static_cast<int>(std::ceil(data->shape.centreY + data->shape.lowerHeight + kCanvasMargin));

    data->singularPoints = PlaceSingularPoints(data->patternClass, data->shape, random);
    const OrientationModel orientation(data->patternClass, data->shape, data->singularPoints, random);
    const PeriodModel period(data->patternClass, data->shape, data->singularPoints, random);
    data->ridges = GrowPattern(data->shape, orientation, period, width, height, random);
    RemoveSpecks(data->ridges, GrowthRegion(data->shape, width, height, 1), 40);
    data->minutiae = FindMasterMinutiae(data->ridges, data->shape);
    return MasterFingerprint(std::move(data));
}

uint64_t MasterFingerprint::Seed() const
{
    return data_->seed;
}

PatternClass MasterFingerprint::Class() const
{
    return data_->patternClass;
}

int MasterFingerprint::Width() const
{
    return data_->ridges.width;
}

int MasterFingerprint::Height() const
{
    return data_->ridges.height;
}

const std::vector<Minutia>& MasterFingerprint::Minutiae() const
{
    return data_->minutiae;
}

const std::vector<SingularPoint>& MasterFingerprint::SingularPoints() const
{
    return data_->singularPoints;
}

GreyImage MasterFingerprint::Render() const
{
    const MasterData& data = *data_;
    GreyImage image(Width(), Height(), 255);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double inside = SmoothStep(-1.5, 1.5, data.shape.Inside(x, y));
            const double ridge = SmoothStep(-0.45, 0.45, data.ridges.at(x, y));
            const double grey = 255.0 - inside * ridge * 225.0;
            image.at(x, y) = static_cast<uint8_t>(grey + 0.5);
        }
    }
    return image;
}

}  // namespace fpsynth
