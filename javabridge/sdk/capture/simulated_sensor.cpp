#include "capture/simulated_sensor.h"

#include <utility>

namespace dactis {
namespace {

constexpr int kTouchesPerFinger = 2;

}  // namespace

SimulatedSensor::SimulatedSensor(std::string id, int index, const SensorSettings& settings)
    : id_(std::move(id)), settings_(settings), sensorSeed_(fpsynth::FingerSeed(settings.seed, 1000 + index))
{
}

fpsynth::GreyImage SimulatedSensor::NextTouch()
{
    const int finger = touches_ / kTouchesPerFinger + 1;
    const int impression = touches_ % kTouchesPerFinger + 1;
    ++touches_;
    if (!master_ || masterFinger_ != finger) {
        fpsynth::MasterOptions options;
        options.seed = fpsynth::FingerSeed(sensorSeed_, finger);
        master_ = fpsynth::MasterFingerprint::Generate(options);
        masterFinger_ = finger;
    }
    fpsynth::ImpressionOptions options;
    options.width = settings_.width;
    options.height = settings_.height;
    options.seed = fpsynth::ImpressionSeed(master_->Seed(), impression);
    // A clean, well-pressed sensor: less noise and rotation than the generator's typical
    // impression, as a reader with a guide for the finger gives.
    options.noise = 0.6;
    options.maxRotation = 15.0;
    options.maxShift = 0.08;
    options.partialContact = false;
    return fpsynth::RenderImpression(*master_, options).image;
}

}  // namespace dactis
