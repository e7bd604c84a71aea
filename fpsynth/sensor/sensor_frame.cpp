// Sensor frames: the touch raster lit from behind the glass. Reflectance of skin and ridges,
// scaled by the gain, on a black field.
#include <cmath>
#include <stdexcept>

#include "core/det_math.h"
#include "core/random.h"
#include "fpsynth/sensor.h"
#include "impression/grey_levels.h"
#include "impression/touch.h"

namespace fpsynth {
namespace {

constexpr double kBaseLevel = 12.0;
constexpr double kGainOffset = 8.0;
constexpr double kGainSlope = 1.6;
constexpr double kMinutiaMargin = 10.0;

double LevelWithoutRounding(double reflectance, double sensitivity, uint8_t gain)
{
    return kBaseLevel + reflectance * sensitivity * (kGainOffset + kGainSlope * gain);
}

void Require(bool condition, const char* what)
{
    if (!condition) {
        throw std::invalid_argument(std::string("sensor pose: ") + what);
    }
}

}  // namespace

int SensorLevel(double reflectance, double sensitivity, uint8_t gain)
{
    const double level = LevelWithoutRounding(reflectance, sensitivity, gain);
    return static_cast<int>(Clamp(std::floor(level + 0.5), kSensorBlackLevel + 1.0, 255.0));
}

SensorFrame RenderSensorFrame(const MasterFingerprint& master, const SensorPose& pose, uint8_t gain)
{
    Require(pose.contact >= 0.0 && pose.contact <= 1.0, "contact must be 0 to 1");
    Require(pose.pressure >= 0.0 && pose.pressure <= 1.0, "pressure must be 0 to 1");
    Require(pose.sensitivity >= 0.25 && pose.sensitivity <= 4.0, "sensitivity must be 0.25 to 4");
    Require(std::fabs(pose.rotation) <= 180.0 && std::fabs(pose.shiftX) <= 1000.0 && std::fabs(pose.shiftY) <= 1000.0,
            "rotation or shift out of range");
    const MasterData& data = master.Data();
    SensorFrame frame;
    frame.image = GreyImage(kSensorFrameWidth, kSensorFrameHeight);
    frame.finger = GreyImage(kSensorFrameWidth, kSensorFrameHeight);
    Random noise(pose.noiseSeed);

    // Everything about the skin comes from the skin seed alone, so that the frames of one
    // touch show the same finger.
    Random skin(pose.skinSeed);
    ContactRegion contact = DrawContactRegion(skin, data.shape, pose.pressure, false);
    const double growth = std::sqrt(pose.contact);
    contact.radiusX *= growth;
    contact.radiusY *= growth;
    const double fingerSize = kSensorScale * (contact.radiusX + contact.radiusY);
    const SkinDistortion distortion = DrawSkinDistortion(skin, 0.6, fingerSize > 1.0 ? fingerSize : 1.0);
    const Vec2 anchor{0.5 * (kSensorFrameWidth - 1) + pose.shiftX, 0.5 * (kSensorFrameHeight - 1) + pose.shiftY};
    Touch touch{Placement({contact.centreX, contact.centreY}, anchor, kSensorScale, RadiansFromDegrees(pose.rotation),
                          distortion),
                contact, SkinCondition{}};
    touch.skin.ridgeThreshold = (0.5 - pose.pressure) * 2.2;
    touch.skin.rimWidth = skin.Uniform(6.0, 14.0);
    touch.skin.dryness = skin.Uniform(0.0, 0.4);
    touch.skin.unevenness = skin.Uniform(0.1, 0.4);
    touch.skin.roughness = skin.Uniform(0.2, 0.5);
    touch.skin.pores = skin.Uniform(0.0, 0.8);
    touch.skin.seed = skin.Next();
    const double valley = skin.Uniform(0.85, 0.95);
    const double ridge = skin.Uniform(0.25, 0.4);

    if (pose.contact <= 0.0) {
        for (uint8_t& pixel : frame.image.pixels) {
            pixel = static_cast<uint8_t>(noise.Below(4));
        }
        return frame;
    }
    const TouchRaster raster = RasteriseTouch(data, touch, kSensorFrameWidth, kSensorFrameHeight);
    Grid<float> reflectance(kSensorFrameWidth, kSensorFrameHeight);
    for (size_t i = 0; i < reflectance.data.size(); ++i) {
        reflectance.data[i] = static_cast<float>(valley + (ridge - valley) * raster.darkness.data[i]);
    }
    BlurBinomial(reflectance);
    for (size_t i = 0; i < reflectance.data.size(); ++i) {
        const double weight = raster.contact.data[i];
        if (weight >= 0.5) {
            const double level =
                LevelWithoutRounding(reflectance.data[i], pose.sensitivity, gain) + 1.5 * noise.Normal();
            frame.image.pixels[i] =
                static_cast<uint8_t>(Clamp(std::floor(level + 0.5), kSensorBlackLevel + 1.0, 255.0));
            frame.finger.pixels[i] = 255;
            ++frame.fingerPixels;
        } else {
            // A faint glow where the skin nearly touches; never above the black level.
            const double glow = noise.Below(4) + 12.0 * weight;
            frame.image.pixels[i] = static_cast<uint8_t>(Clamp(glow, 0.0, kSensorBlackLevel));
        }
    }
    frame.minutiae = MinutiaeInImage(data, touch, kSensorFrameWidth, kSensorFrameHeight, kMinutiaMargin);
    return frame;
}

}  // namespace fpsynth
