#include "fpsynth/ground_truth.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace fpsynth {
namespace {

constexpr std::string_view kMagic = "fpsynth-ground-truth 1";
constexpr int kMaximumSide = 16384;
constexpr size_t kMaximumLines = 100000;

void AppendFixed(std::string& out, double value, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

std::string_view MinutiaTypeName(MinutiaType type)
{
    return type == MinutiaType::Ending ? "ending" : "bifurcation";
}

// Splits a line at blanks.
std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
            ++pos;
        }
        const size_t start = pos;
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') {
            ++pos;
        }
        if (pos > start) {
            fields.push_back(line.substr(start, pos - start));
        }
    }
    return fields;
}

bool ParseNumber(std::string_view text, double& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite(value);
}

template <class Integer>
bool ParseInteger(std::string_view text, Integer& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

}  // namespace

std::string FormatGroundTruth(const GroundTruth& truth)
{
    std::string out(kMagic);
    out += "\n";
    if (!truth.image.empty()) {
        out += "image " + truth.image + "\n";
    }
    out += "size " + std::to_string(truth.width) + " " + std::to_string(truth.height) + "\n";
    out += "class ";
    out += PatternClassName(truth.patternClass);
    out += "\nseeds " + std::to_string(truth.masterSeed) + " " + std::to_string(truth.impressionSeed) + "\n";
    for (const SingularPoint& point : truth.singularPoints) {
        out += point.kind == SingularKind::Core ? "core " : "delta ";
        AppendFixed(out, point.x, 2);
        out += " ";
        AppendFixed(out, point.y, 2);
        out += "\n";
    }
    for (const Minutia& minutia : truth.minutiae) {
        out += "minutia ";
        AppendFixed(out, minutia.x, 2);
        out += " ";
        AppendFixed(out, minutia.y, 2);
        out += " ";
        // A direction that rounds up to 360.0 is written as 0.0.
        const double direction = std::round(minutia.direction * 10.0) >= 3600.0 ? 0.0 : minutia.direction;
        AppendFixed(out, direction, 1);
        out += " ";
        out += MinutiaTypeName(minutia.type);
        out += "\n";
    }
    return out;
}

ParsedGroundTruth ParseGroundTruth(std::string_view text)
{
    GroundTruth truth;
    bool haveMagic = false;
    bool haveSize = false;
    bool haveClass = false;
    bool haveImage = false;
    bool haveSeeds = false;
    size_t lineNumber = 0;
    size_t pos = 0;
    const auto refuse = [&](std::string why) {
        return ParsedGroundTruth{std::nullopt, "line " + std::to_string(lineNumber) + ": " + why};
    };
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        std::string_view line = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? text.size() : end + 1;
        ++lineNumber;
        if (lineNumber > kMaximumLines) {
            return refuse("too many lines");
        }
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!haveMagic) {
            if (line != kMagic) {
                return refuse("not a ground truth file (expected \"fpsynth-ground-truth 1\")");
            }
            haveMagic = true;
            continue;
        }
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.empty() || fields[0].front() == '#') {
            continue;
        }
        const std::string_view key = fields[0];
        if (key == "image") {
            if (fields.size() != 2 || haveImage) {
                return refuse("image takes one file name, once");
            }
            truth.image = std::string(fields[1]);
            haveImage = true;
        } else if (key == "size") {
            if (fields.size() != 3 || haveSize || !ParseInteger(fields[1], truth.width) ||
                !ParseInteger(fields[2], truth.height) || truth.width < 1 || truth.height < 1 ||
                truth.width > kMaximumSide || truth.height > kMaximumSide) {
                return refuse("size takes a width and a height of 1 to 16384, once");
            }
            haveSize = true;
        } else if (key == "class") {
            const std::optional<PatternClass> patternClass =
                fields.size() == 2 ? PatternClassFromName(fields[1]) : std::nullopt;
            if (!patternClass || haveClass) {
                return refuse("class takes one of arch, tented-arch, left-loop, right-loop, whorl, once");
            }
            truth.patternClass = *patternClass;
            haveClass = true;
        } else if (key == "seeds") {
            if (fields.size() != 3 || haveSeeds || !ParseInteger(fields[1], truth.masterSeed) ||
                !ParseInteger(fields[2], truth.impressionSeed)) {
                return refuse("seeds takes two unsigned integers, once");
            }
            haveSeeds = true;
        } else if (key == "core" || key == "delta" || key == "minutia") {
            if (!haveSize) {
                return refuse("points must follow the size");
            }
            const bool minutia = key == "minutia";
            if (fields.size() != (minutia ? 5u : 3u)) {
                return refuse(minutia ? "minutia takes x, y, direction and type" : "a singular point takes x and y");
            }
            double x = 0;
            double y = 0;
            if (!ParseNumber(fields[1], x) || !ParseNumber(fields[2], y) || x < 0 || y < 0 || x > truth.width - 1 ||
                y > truth.height - 1) {
                return refuse("position is not a number inside the image");
            }
            if (!minutia) {
                truth.singularPoints.push_back({x, y, key == "core" ? SingularKind::Core : SingularKind::Delta});
                continue;
            }
            double direction = 0;
            if (!ParseNumber(fields[3], direction) || direction < 0 || direction >= 360.0) {
                return refuse("direction is not a number in [0, 360)");
            }
            MinutiaType type = MinutiaType::Ending;
            if (fields[4] == "bifurcation") {
                type = MinutiaType::Bifurcation;
            } else if (fields[4] != "ending") {
                return refuse("minutia type is neither ending nor bifurcation");
            }
            truth.minutiae.push_back({x, y, direction, type});
        } else {
            return refuse("unknown line \"" + std::string(key.substr(0, 40)) + "\"");
        }
    }
    if (!haveMagic) {
        return ParsedGroundTruth{std::nullopt, "empty text"};
    }
    if (!haveSize || !haveClass) {
        return ParsedGroundTruth{std::nullopt, "size and class are required"};
    }
    return ParsedGroundTruth{std::move(truth), {}};
}

}  // namespace fpsynth
