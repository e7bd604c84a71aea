// A fingerprint sensor simulated with synthetic fingerprints: each touch shows a finger,
// two touches in a row the same one, so that an application can enroll a finger from one
// touch and verify it with the next.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "fpsynth/fpsynth.h"

namespace dactis {

struct SensorSettings {
    int width = 256;
    int height = 288;
    int resolution = 500;
    uint64_t seed = 1;
};

class SimulatedSensor {
public:
    SimulatedSensor(std::string id, int index, const SensorSettings& settings);

    const std::string& Id() const { return id_; }
    int Resolution() const { return settings_.resolution; }

    // The image of the next touch: touches 2k and 2k + 1 (from 0) show finger k + 1 of
    // this sensor, each its own impression.
    fpsynth::GreyImage NextTouch();

private:
    std::string id_;
    SensorSettings settings_;
    uint64_t sensorSeed_;
    int touches_ = 0;
    int masterFinger_ = 0;
    std::optional<fpsynth::MasterFingerprint> master_;  // of masterFinger_
};

}  // namespace dactis
