#include "impression/touch.h"

#include "core/det_math.h"
#include "core/value_noise.h"

namespace fpsynth {

TouchRaster RasteriseTouch(const MasterData& master, const Touch& touch, int width, int height)
{
    TouchRaster raster{Grid<float>(width, height), Grid<float>(width, height)};
    const SkinCondition& skin = touch.skin;
    const ContactRegion& contact = touch.contact;
    const FractalNoise dry(skin.seed, 7.0);
    const ValueNoise uneven(skin.seed ^ 0x9E3779B9ull, 70.0);
    const FractalNoise rough(skin.seed ^ 0x7F4A7C15ull, 3.0);
    const ValueNoise pores(skin.seed ^ 0x94D049BBull, 2.2);
    const ValueNoise ink(skin.seed ^ 0x2545F491ull, 45.0);
    constexpr double kSoftness = 0.45;  // of the ridge edge, in units of the ridge response
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Vec2 q = touch.placement.MasterFromImage({static_cast<double>(x), static_cast<double>(y)});
            const double inside = contact.Inside(q.x, q.y);
            const double weight = SmoothStep(-0.5 * contact.edge, 0.5 * contact.edge, inside);
            raster.contact.at(x, y) = static_cast<float>(weight);
            if (weight <= 0.0) {
                continue;
            }
            // Towards the rim the skin presses less: ridges thin out and break up.
            double threshold =
                skin.ridgeThreshold + 2.2 * (1.0 - SmoothStep(-0.5 * contact.edge, skin.rimWidth, inside));
            if (skin.unevenness > 0.0) {
                threshold += skin.unevenness * uneven.At(q.x, q.y);
            }
            if (skin.dryness > 0.0) {
                const double patch = dry.At(q.x, q.y) - 0.15;
                threshold += patch > 0.0 ? skin.dryness * 6.0 * patch : 0.0;
            }
            if (skin.roughness > 0.0) {
                threshold += skin.roughness * rough.At(q.x, q.y);
            }
            if (skin.pores > 0.0) {
                const double pore = pores.At(q.x, q.y) - 0.6;
                threshold += pore > 0.0 ? skin.pores * 12.0 * pore : 0.0;
            }
            const double response = SampleBilinear(master.ridges, q.x, q.y);
            double ridge = SmoothStep(threshold - kSoftness, threshold + kSoftness, response);
            if (skin.inkVariation > 0.0) {
                ridge *= 1.0 - skin.inkVariation * (0.5 + 0.5 * ink.At(q.x, q.y));
            }
            raster.darkness.at(x, y) = static_cast<float>(ridge * SmoothStep(0.0, 0.6, weight));
        }
    }
    return raster;
}

std::vector<Minutia> MinutiaeInImage(const MasterData& master, const Touch& touch, int width, int height, double margin)
{
    std::vector<Minutia> minutiae;
    const double reach = margin / touch.placement.Scale();
    for (const Minutia& m : master.minutiae) {
        bool inside = touch.contact.Weight(m.x, m.y) >= 0.5;
        for (int k = 0; k < 8 && inside; ++k) {
            const double angle = k * (kTwoPi / 8.0);
            inside = touch.contact.Weight(m.x + reach * DetCos(angle), m.y + reach * DetSin(angle)) >= 0.5;
        }
        if (!inside) {
            continue;
        }
        const Vec2 p = touch.placement.ImageFromMaster({m.x, m.y});
        if (p.x < margin || p.y < margin || p.x > width - 1 - margin || p.y > height - 1 - margin) {
            continue;
        }
        const double direction = touch.placement.ImageDirection({m.x, m.y}, RadiansFromDegrees(m.direction));
        minutiae.push_back({p.x, p.y, DegreesFromRadians(direction), m.type});
    }
    return minutiae;
}

std::vector<SingularPoint> SingularPointsInImage(const MasterData& master, const Touch& touch, int width, int height)
{
    std::vector<SingularPoint> points;
    for (const SingularPoint& s : master.singularPoints) {
        const Vec2 p = touch.placement.ImageFromMaster({s.x, s.y});
        if (p.x >= 0 && p.y >= 0 && p.x <= width - 1 && p.y <= height - 1) {
            points.push_back({p.x, p.y, s.kind});
        }
    }
    return points;
}

}  // namespace fpsynth
