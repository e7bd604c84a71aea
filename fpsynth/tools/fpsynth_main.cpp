// fpsynth: synthetic fingerprint data sets, single images and contact sheets.
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fpsynth/contact_sheet.h"
#include "fpsynth/dataset.h"
#include "fpsynth/ground_truth.h"
#include "fpsynth/image_files.h"
#include "fpsynth/impression.h"
#include "fpsynth/master.h"
#include "fpsynth/sensor.h"

namespace {

using namespace fpsynth;

constexpr const char* kUsage = R"(usage:
  fpsynth dataset --out FOLDER [--fingers 10] [--impressions 4] [--size 352x288]
                  [--seed 1] [--format png|pgm] [--classes natural|balanced]
                  [--clean] [--threads N]
      F fingers x I impressions, each image with its ground truth (f0001_1.png, f0001_1.txt)
  fpsynth image --out FILE [--seed 1] [--finger 1] [--impression 1] [--size 352x288]
                [--class NAME] [--clean] [--master | --frame GAIN]
      one impression of a finger of the data set with this seed (the same picture that
      "dataset" writes), its master, or a held sensor frame at a gain (0-255); the
      ground truth goes beside it (FILE with .txt)
  fpsynth sheet --out FILE.png [--seed 1] [--marks]
      masters, impressions and a sensor frame of every pattern class on one picture;
      --marks draws the ground truth on the clean impressions
Classes: arch, tented-arch, left-loop, right-loop, whorl. Images are PNG unless the
file name ends in .pgm (or --format pgm).
)";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// --name value pairs and --flag switches after the command.
class Arguments {
public:
    Arguments(int argc, char** argv, const std::vector<std::string>& flags)
    {
        for (int i = 2; i < argc; ++i) {
            const std::string name = argv[i];
            if (name.rfind("--", 0) != 0) {
                throw UsageError("unexpected argument " + name);
            }
            bool isFlag = false;
            for (const std::string& flag : flags) {
                isFlag = isFlag || flag == name;
            }
            if (isFlag) {
                values_[name] = "";
            } else if (i + 1 < argc) {
                values_[name] = argv[++i];
            } else {
                throw UsageError(name + " needs a value");
            }
        }
    }

    bool Has(const std::string& name) const { return values_.count(name) != 0; }

    std::string Text(const std::string& name, const std::string& fallback) const
    {
        const auto it = values_.find(name);
        return it == values_.end() ? fallback : it->second;
    }

    template <class Integer>
    Integer Number(const std::string& name, Integer fallback, Integer low, Integer high) const
    {
        const auto it = values_.find(name);
        if (it == values_.end()) {
            return fallback;
        }
        Integer value{};
        const std::string& text = it->second;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < low || value > high) {
            throw UsageError(name + " takes a whole number from " + std::to_string(low) + " to " +
                             std::to_string(high));
        }
        return value;
    }

    void Only(const std::vector<std::string>& known) const
    {
        for (const auto& [name, value] : values_) {
            bool ok = false;
            for (const std::string& k : known) {
                ok = ok || k == name;
            }
            if (!ok) {
                throw UsageError("unknown option " + name);
            }
        }
    }

private:
    std::map<std::string, std::string> values_;
};

void ParseSize(const std::string& text, int& width, int& height)
{
    const size_t x = text.find('x');
    int w = 0;
    int h = 0;
    const bool ok = x != std::string::npos && std::from_chars(text.data(), text.data() + x, w).ptr == text.data() + x &&
                    std::from_chars(text.data() + x + 1, text.data() + text.size(), h).ptr == text.data() + text.size();
    if (!ok || w < 16 || h < 16 || w > 4096 || h > 4096) {
        throw UsageError("--size takes WIDTHxHEIGHT, each 16 to 4096");
    }
    width = w;
    height = h;
}

std::string RequiredOut(const Arguments& arguments)
{
    const std::string out = arguments.Text("--out", "");
    if (out.empty()) {
        throw UsageError("--out is required");
    }
    return out;
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

std::string GroundTruthPath(const std::string& imagePath)
{
    const size_t slash = imagePath.find_last_of('/');
    const size_t dot = imagePath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? imagePath.substr(0, dot) : imagePath) + ".txt";
}

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Dataset(const Arguments& arguments)
{
    arguments.Only(
        {"--out", "--fingers", "--impressions", "--size", "--seed", "--format", "--classes", "--clean", "--threads"});
    DatasetOptions options;
    options.folder = RequiredOut(arguments);
    options.fingers = arguments.Number("--fingers", 10, 1, 100000);
    options.impressions = arguments.Number("--impressions", 4, 1, 1000);
    options.seed = arguments.Number<uint64_t>("--seed", 1, 0, UINT64_MAX);
    options.threads = arguments.Number("--threads", 0, 0, 256);
    int width = 352;
    int height = 288;
    ParseSize(arguments.Text("--size", "352x288"), width, height);
    options.impression = arguments.Has("--clean") ? CleanImpressionOptions(width, height, 1) : ImpressionOptions{};
    options.impression.width = width;
    options.impression.height = height;
    const std::string format = arguments.Text("--format", "png");
    if (format != "png" && format != "pgm") {
        throw UsageError("--format takes png or pgm");
    }
    options.format = format == "png" ? ImageFormat::Png : ImageFormat::Pgm;
    const std::string classes = arguments.Text("--classes", "natural");
    if (classes != "natural" && classes != "balanced") {
        throw UsageError("--classes takes natural or balanced");
    }
    options.classes = classes == "natural" ? ClassMix::Natural : ClassMix::Balanced;

    const auto start = std::chrono::steady_clock::now();
    const DatasetResult result = WriteDataset(options);
    if (!result.error.empty()) {
        std::fprintf(stderr, "fpsynth: %s\n", result.error.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("fpsynth: %d images (%d x %d) with %lld minutiae in %s, %.1f s\n", result.images, width, height,
                result.minutiae, options.folder.c_str(), seconds);
    return 0;
}

int Image(const Arguments& arguments)
{
    arguments.Only(
        {"--out", "--seed", "--finger", "--impression", "--size", "--class", "--clean", "--master", "--frame"});
    const std::string out = RequiredOut(arguments);
    DatasetOptions dataset;
    dataset.seed = arguments.Number<uint64_t>("--seed", 1, 0, UINT64_MAX);
    const int finger = arguments.Number("--finger", 1, 1, 100000);
    const int impressionNumber = arguments.Number("--impression", 1, 1, 1000);
    MasterOptions masterOptions;
    masterOptions.seed = FingerSeed(dataset.seed, finger);
    if (arguments.Has("--class")) {
        masterOptions.patternClass = PatternClassFromName(arguments.Text("--class", ""));
        if (!masterOptions.patternClass) {
            throw UsageError("--class takes arch, tented-arch, left-loop, right-loop or whorl");
        }
    }
    if (arguments.Has("--master") && arguments.Has("--frame")) {
        throw UsageError("--master and --frame exclude each other");
    }
    const int gain = arguments.Number("--frame", 0, 0, 255);
    int width = 352;
    int height = 288;
    ParseSize(arguments.Text("--size", "352x288"), width, height);
    const MasterFingerprint master = MasterFingerprint::Generate(masterOptions);

    GroundTruth truth;
    truth.image = FileName(out);
    truth.patternClass = master.Class();
    truth.masterSeed = master.Seed();
    GreyImage image;
    if (arguments.Has("--master")) {
        image = master.Render();
        truth.singularPoints = master.SingularPoints();
        truth.minutiae = master.Minutiae();
    } else if (arguments.Has("--frame")) {
        SensorTouch touch(master, ImpressionSeed(master.Seed(), impressionNumber), TouchScript{4, 4, 3});
        SensorFrame frame;
        for (int i = 0; i < 6; ++i) {
            frame = touch.Capture(static_cast<uint8_t>(gain));
        }
        image = frame.image;
        truth.minutiae = frame.minutiae;
    } else {
        const uint64_t seed = ImpressionSeed(master.Seed(), impressionNumber);
        const ImpressionOptions options = arguments.Has("--clean") ? CleanImpressionOptions(width, height, seed) : [&] {
            ImpressionOptions o;
            o.width = width;
            o.height = height;
            o.seed = seed;
            return o;
        }();
        const Impression impression = RenderImpression(master, options);
        image = impression.image;
        truth.impressionSeed = seed;
        truth.singularPoints = impression.singularPoints;
        truth.minutiae = impression.minutiae;
    }
    truth.width = image.width;
    truth.height = image.height;
    if (!SaveImage(out, image) || !WriteText(GroundTruthPath(out), FormatGroundTruth(truth))) {
        std::fprintf(stderr, "fpsynth: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("fpsynth: %s, %s, %zu minutiae\n", out.c_str(), std::string(PatternClassName(master.Class())).c_str(),
                truth.minutiae.size());
    return 0;
}

int Sheet(const Arguments& arguments)
{
    arguments.Only({"--out", "--seed", "--marks"});
    const std::string out = RequiredOut(arguments);
    const uint64_t seed = arguments.Number<uint64_t>("--seed", 1, 0, UINT64_MAX);
    const GreyImage sheet = RenderContactSheet(seed, arguments.Has("--marks"));
    if (!SaveImage(out, sheet)) {
        std::fprintf(stderr, "fpsynth: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("fpsynth: contact sheet %s (%d x %d)\n", out.c_str(), sheet.width, sheet.height);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        if (command == "dataset") {
            return Dataset(Arguments(argc, argv, {"--clean"}));
        }
        if (command == "image") {
            return Image(Arguments(argc, argv, {"--clean", "--master"}));
        }
        if (command == "sheet") {
            return Sheet(Arguments(argc, argv, {"--marks"}));
        }
        throw UsageError(command.empty() ? "no command given" : "unknown command " + command);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "fpsynth: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fpsynth: %s\n", e.what());
        return 1;
    }
}
