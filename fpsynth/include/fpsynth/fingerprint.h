// What a synthetic fingerprint is made of: its pattern class, its singular points, its
// minutiae and the 8-bit grey images that show it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace fpsynth {

// The five classes of the usual classification. A left loop's ridges enter and leave on
// the left of the image, so its delta lies right of its core; a right loop is the mirror.
enum class PatternClass { Arch, TentedArch, LeftLoop, RightLoop, Whorl };

inline constexpr std::array<PatternClass, 5> kPatternClasses = {
    PatternClass::Arch, PatternClass::TentedArch, PatternClass::LeftLoop, PatternClass::RightLoop, PatternClass::Whorl};

// "arch", "tented-arch", "left-loop", "right-loop", "whorl".
std::string_view PatternClassName(PatternClass patternClass);
std::optional<PatternClass> PatternClassFromName(std::string_view name);

enum class MinutiaType { Ending, Bifurcation };

// Coordinates are pixels of the image the minutia belongs to, x to the right, y downwards,
// (0, 0) the centre of the top-left pixel. The direction is in degrees in [0, 360), measured
// from +x towards +y (clockwise on screen). A ridge ending points from the end into its ridge;
// a bifurcation points away from its stem, between its two branches (the ending of the
// valley that the branches enclose, pointing into that valley).
struct Minutia {
    double x = 0;
    double y = 0;
    double direction = 0;
    MinutiaType type = MinutiaType::Ending;
};

enum class SingularKind { Core, Delta };

struct SingularPoint {
    double x = 0;
    double y = 0;
    SingularKind kind = SingularKind::Core;
};

// 8-bit grey, rows top to bottom without padding.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    GreyImage() = default;
    GreyImage(int w, int h, uint8_t fill = 0)
        : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill)
    {
    }
    uint8_t at(int x, int y) const
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    uint8_t& at(int x, int y)
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

}  // namespace fpsynth
