// The impression pipeline: pose, touch, raster, grey levels, optics.
#include "fpsynth/impression.h"

#include <stdexcept>
#include <string>

#include "core/det_math.h"
#include "core/random.h"
#include "impression/grey_levels.h"
#include "impression/touch.h"

namespace fpsynth {
namespace {

constexpr double kMinutiaMargin = 8.0;

void Require(bool condition, const char* what)
{
    if (!condition) {
        throw std::invalid_argument(std::string("impression options: ") + what);
    }
}

void Validate(const ImpressionOptions& o)
{
    Require(o.width >= 1 && o.width <= 4096 && o.height >= 1 && o.height <= 4096, "size must be 1 to 4096");
    Require(o.scale >= 0.25 && o.scale <= 4.0, "scale must be 0.25 to 4");
    Require(o.maxRotation >= 0.0 && o.maxRotation <= 180.0, "maxRotation must be 0 to 180");
    Require(o.maxShift >= 0.0 && o.maxShift <= 1.0, "maxShift must be 0 to 1");
    Require(o.distortion >= 0.0 && o.distortion <= 2.0, "distortion must be 0 to 2");
    Require(o.noise >= 0.0 && o.noise <= 2.0, "noise must be 0 to 2");
    Require(o.pressureSpread >= 0.0 && o.pressureSpread <= 1.0, "pressureSpread must be 0 to 1");
}

}  // namespace

ImpressionOptions CleanImpressionOptions(int width, int height, uint64_t seed)
{
    ImpressionOptions options;
    options.width = width;
    options.height = height;
    options.seed = seed;
    options.noise = 0.0;
    options.pressureSpread = 0.0;
    options.partialContact = false;
    return options;
}

Impression RenderImpression(const MasterFingerprint& master, const ImpressionOptions& options)
{
    Validate(options);
    const MasterData& data = master.Data();
    Random random(options.seed);

    Impression impression;
    ImpressionPose& pose = impression.pose;
    pose.rotation = Clamp(random.Normal(0.0, 0.5 * options.maxRotation), -options.maxRotation, options.maxRotation);
    pose.shiftX =
        Clamp(random.Normal(0.0, 0.5 * options.maxShift), -options.maxShift, options.maxShift) * options.width;
    pose.shiftY =
        Clamp(random.Normal(0.0, 0.5 * options.maxShift), -options.maxShift, options.maxShift) * options.height;
    pose.pressure = Clamp(0.5 + options.pressureSpread * random.Normal(0.0, 0.22), 0.0, 1.0);

    const ContactRegion contact = DrawContactRegion(random, data.shape, pose.pressure, options.partialContact);
    pose.cut = contact.cut;
    const double fingerSize = options.scale * (contact.radiusX + contact.radiusY);
    const SkinDistortion distortion = DrawSkinDistortion(random, options.distortion, fingerSize);
    const Vec2 imageAnchor{0.5 * (options.width - 1) + pose.shiftX, 0.5 * (options.height - 1) + pose.shiftY};
    Touch touch{Placement({contact.centreX, contact.centreY}, imageAnchor, options.scale,
                          RadiansFromDegrees(pose.rotation), distortion),
                contact, SkinCondition{}};
    touch.skin.ridgeThreshold = (0.5 - pose.pressure) * 2.2;
    touch.skin.rimWidth = random.Uniform(6.0, 16.0);
    touch.skin.dryness = options.noise * random.Uniform(0.0, 0.6);
    touch.skin.unevenness = options.noise * random.Uniform(0.1, 0.5);
    touch.skin.roughness = options.noise * random.Uniform(0.2, 0.6);
    touch.skin.pores = options.noise * random.Uniform(0.0, 1.0);
    touch.skin.inkVariation = Clamp(options.noise * random.Uniform(0.0, 0.35), 0.0, 0.8);
    touch.skin.seed = random.Next();

    const TouchRaster raster = RasteriseTouch(data, touch, options.width, options.height);
    const PaperTone tone = DrawPaperTone(random, options.noise);
    impression.image = ToneImpression(raster, tone, random.Next());
    impression.foreground = GreyImage(options.width, options.height);
    for (size_t i = 0; i < raster.contact.data.size(); ++i) {
        impression.foreground.pixels[i] = raster.contact.data[i] >= 0.5f ? 255 : 0;
    }
    impression.minutiae = MinutiaeInImage(data, touch, options.width, options.height, kMinutiaMargin);
    impression.singularPoints = SingularPointsInImage(data, touch, options.width, options.height);
    return impression;
}

}  // namespace fpsynth
