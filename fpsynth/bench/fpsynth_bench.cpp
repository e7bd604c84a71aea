// How fast fingerprints are made: masters, impressions at the reader's and the extractor's
// sizes, sensor frames, and a 10 x 4 data set written to disk.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fpsynth/dataset.h"
#include "fpsynth/impression.h"
#include "fpsynth/master.h"
#include "fpsynth/sensor.h"

namespace {

using namespace fpsynth;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (const double t : times) {
        sum += t;
    }
    std::printf("%-38s %8.2f ms mean %8.2f ms median %8.2f ms max  (%zu runs)\n", what, sum / times.size(),
                times[times.size() / 2], times.back(), times.size());
}

}  // namespace

int main()
{
    std::vector<MasterFingerprint> masters;
    std::vector<double> times;
    for (uint64_t seed = 1; seed <= 10; ++seed) {
        const auto start = Clock::now();
        MasterOptions options;
        options.seed = seed;
        options.patternClass = kPatternClasses[seed % kPatternClasses.size()];
        masters.push_back(MasterFingerprint::Generate(options));
        times.push_back(Milliseconds(start));
    }
    Report("master fingerprint", times);

    struct Case {
        const char* name;
        int width;
        int height;
        bool clean;
    };
    for (const Case c :
         {Case{"impression 352 x 288 (reader)", 352, 288, false}, Case{"impression 352 x 288, clean", 352, 288, true},
          Case{"impression 256 x 256 (extractor)", 256, 256, false},
          Case{"impression 300 x 300 (extractor)", 300, 300, false}}) {
        times.clear();
        for (int i = 0; i < 100; ++i) {
            ImpressionOptions options = c.clean ? CleanImpressionOptions(c.width, c.height, 0) : ImpressionOptions{};
            options.width = c.width;
            options.height = c.height;
            options.seed = static_cast<uint64_t>(i + 1);
            const auto start = Clock::now();
            const Impression impression = RenderImpression(masters[static_cast<size_t>(i) % masters.size()], options);
            times.push_back(Milliseconds(start));
        }
        Report(c.name, times);
    }

    times.clear();
    SensorTouch touch(masters[0], 1, TouchScript{4, 200, 3});
    for (int i = 0; i < 100; ++i) {
        const auto start = Clock::now();
        const SensorFrame frame = touch.Capture(80);
        times.push_back(Milliseconds(start));
    }
    Report("sensor frame 440 x 360", times);

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("fpsynth-bench-" + std::to_string(::getpid()));
    DatasetOptions dataset;
    dataset.folder = folder.string();
    const auto start = Clock::now();
    const DatasetResult result = WriteDataset(dataset);
    const double seconds = Milliseconds(start) / 1000.0;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (!result.error.empty()) {
        std::fprintf(stderr, "data set: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("%-38s %8.2f s  (%d images, %lld minutiae, all processors)\n", "data set 10 x 4, 352 x 288 PNG",
                seconds, result.images, result.minutiae);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%-38s %8.1f MB\n", "peak memory", usage.ru_maxrss / 1024.0);
    return 0;
}
