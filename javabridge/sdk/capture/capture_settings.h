// What the simulated sensors look like, from the environment of the process:
//   DACTIS_SENSORS            comma-separated sensor identifiers (default "SIM-0"; empty: none)
//   DACTIS_TOUCH_INTERVAL_MS  time between touches of a capturing sensor (default 1500;
//                             0: the sensors are never touched)
//   DACTIS_IMAGE_SIZE         WIDTHxHEIGHT of sensor images (default 256x288)
//   DACTIS_SEED               seed of the simulated fingers (default 1)
// A value that does not parse, or is out of range, leaves the default.
#pragma once

#include <string>
#include <vector>

#include "capture/simulated_sensor.h"

namespace dactis {

struct CaptureSettings {
    std::vector<std::string> sensors{"SIM-0"};
    int touchIntervalMs = 1500;
    SensorSettings sensor;
};

CaptureSettings CaptureSettingsFromEnvironment();

}  // namespace dactis
