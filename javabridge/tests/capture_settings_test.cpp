// The simulated sensors' settings from the environment; values that do not parse keep
// the defaults.
#include "capture/capture_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace dactis {
namespace {

class DactisCaptureSettings : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const char* name : {"DACTIS_SENSORS", "DACTIS_TOUCH_INTERVAL_MS", "DACTIS_IMAGE_SIZE", "DACTIS_SEED"}) {
            unsetenv(name);
        }
    }
};

TEST_F(DactisCaptureSettings, DefaultsWithoutEnvironment)
{
    const CaptureSettings settings = CaptureSettingsFromEnvironment();
    EXPECT_EQ(settings.sensors, std::vector<std::string>{"SIM-0"});
    EXPECT_EQ(settings.touchIntervalMs, 1500);
    EXPECT_EQ(settings.sensor.width, 256);
    EXPECT_EQ(settings.sensor.height, 288);
    EXPECT_EQ(settings.sensor.seed, 1u);
}

TEST_F(DactisCaptureSettings, ValuesAreTakenWhenTheyParse)
{
    setenv("DACTIS_SENSORS", "left,right,3", 1);
    setenv("DACTIS_TOUCH_INTERVAL_MS", "0", 1);
    setenv("DACTIS_IMAGE_SIZE", "300x400", 1);
    setenv("DACTIS_SEED", "18446744073709551615", 1);
    const CaptureSettings settings = CaptureSettingsFromEnvironment();
    EXPECT_EQ(settings.sensors, (std::vector<std::string>{"left", "right", "3"}));
    EXPECT_EQ(settings.touchIntervalMs, 0);
    EXPECT_EQ(settings.sensor.width, 300);
    EXPECT_EQ(settings.sensor.height, 400);
    EXPECT_EQ(settings.sensor.seed, UINT64_MAX);

    setenv("DACTIS_SENSORS", "", 1);
    EXPECT_TRUE(CaptureSettingsFromEnvironment().sensors.empty()) << "an empty list: no sensors";
}

TEST_F(DactisCaptureSettings, ValuesThatDoNotParseKeepTheDefaults)
{
    const std::pair<const char*, const char*> refused[] = {
        {"DACTIS_SENSORS", "a,,b"},
        {"DACTIS_SENSORS", ","},
        {"DACTIS_TOUCH_INTERVAL_MS", "-5"},
        {"DACTIS_TOUCH_INTERVAL_MS", "12ms"},
        {"DACTIS_TOUCH_INTERVAL_MS", "9999999999"},
        {"DACTIS_IMAGE_SIZE", "300"},
        {"DACTIS_IMAGE_SIZE", "8x8"},
        {"DACTIS_IMAGE_SIZE", "300x5000"},
        {"DACTIS_SEED", "seven"},
    };
    const CaptureSettings defaults;
    for (const auto& [name, value] : refused) {
        setenv(name, value, 1);
        const CaptureSettings settings = CaptureSettingsFromEnvironment();
        EXPECT_EQ(settings.sensors, defaults.sensors) << name << "=" << value;
        EXPECT_EQ(settings.touchIntervalMs, defaults.touchIntervalMs) << name << "=" << value;
        EXPECT_EQ(settings.sensor.width, defaults.sensor.width) << name << "=" << value;
        EXPECT_EQ(settings.sensor.seed, defaults.sensor.seed) << name << "=" << value;
        unsetenv(name);
    }
}

}  // namespace
}  // namespace dactis
