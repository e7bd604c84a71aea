#include "capture/capture_settings.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

#include "dactis/dactis.h"

namespace dactis {
namespace {

constexpr size_t kMaxSensors = 16;
constexpr size_t kMaxSensorIdLength = 63;

template <class Number>
bool ParseNumber(std::string_view text, Number minimum, Number maximum, Number& value)
{
    Number parsed{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc{} || end != text.data() + text.size() || parsed < minimum || parsed > maximum) {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace

CaptureSettings CaptureSettingsFromEnvironment()
{
    CaptureSettings settings;
    if (const char* list = std::getenv("DACTIS_SENSORS")) {
        std::vector<std::string> sensors;
        bool valid = true;
        std::string_view rest(list);
        while (!rest.empty() && valid) {
            const size_t comma = rest.find(',');
            const std::string_view id = rest.substr(0, comma);
            valid = !id.empty() && id.size() <= kMaxSensorIdLength && sensors.size() < kMaxSensors;
            sensors.emplace_back(id);
            rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        }
        if (valid) {
            settings.sensors = std::move(sensors);
        }
    }
    if (const char* interval = std::getenv("DACTIS_TOUCH_INTERVAL_MS")) {
        ParseNumber<int>(interval, 0, 3600000, settings.touchIntervalMs);
    }
    if (const char* size = std::getenv("DACTIS_IMAGE_SIZE")) {
        const std::string_view text(size);
        const size_t x = text.find('x');
        int width = 0;
        int height = 0;
        if (x != std::string_view::npos && ParseNumber<int>(text.substr(0, x), DC_MIN_IMAGE_SIDE, 1024, width) &&
            ParseNumber<int>(text.substr(x + 1), DC_MIN_IMAGE_SIDE, 1024, height)) {
            settings.sensor.width = width;
            settings.sensor.height = height;
        }
    }
    if (const char* seed = std::getenv("DACTIS_SEED")) {
        ParseNumber<uint64_t>(seed, 0, UINT64_MAX, settings.sensor.seed);
    }
    return settings;
}

}  // namespace dactis
