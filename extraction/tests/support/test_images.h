// Images and helpers the extractor's tests build for themselves.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace fenrax::testing {

// Straight stripes of a cosine profile: ridges (dark, level mid - amplitude) run along
// angleDegrees (from +x towards +y, rows grow downwards) and repeat every period pixels.
std::vector<uint8_t> StripeImage(int width, int height, double period, double angleDegrees, int mid = 128,
                                 int amplitude = 90);

// The template decrypted with the module key (DES ECB), as a reader of templates does.
std::vector<uint8_t> DecryptTemplate(std::span<const uint8_t> encrypted);

// Makes a folder the current one for the life of the object, so that debug dumps land in
// it rather than in the build tree.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) : previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace fenrax::testing
