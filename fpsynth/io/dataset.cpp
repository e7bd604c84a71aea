#include "fpsynth/dataset.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/random.h"
#include "fpsynth/ground_truth.h"

namespace fpsynth {
namespace {

bool WriteBytes(const std::filesystem::path& path, const void* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return !out.fail();
}

}  // namespace

uint64_t FingerSeed(uint64_t datasetSeed, int finger)
{
    return DeriveSeed(datasetSeed, static_cast<uint64_t>(finger));
}

uint64_t ImpressionSeed(uint64_t masterSeed, int impression)
{
    return DeriveSeed(masterSeed, 0x10000ull + static_cast<uint64_t>(impression));
}

std::string ImpressionName(int finger, int impression)
{
    char name[32];
    std::snprintf(name, sizeof name, "f%04d_%d", finger, impression);
    return name;
}

MasterFingerprint DatasetMaster(const DatasetOptions& options, int finger)
{
    MasterOptions master;
    master.seed = FingerSeed(options.seed, finger);
    if (options.classes == ClassMix::Balanced) {
        master.patternClass = kPatternClasses[static_cast<size_t>(finger - 1) % kPatternClasses.size()];
    }
    return MasterFingerprint::Generate(master);
}

DatasetResult WriteDataset(const DatasetOptions& options)
{
    DatasetResult result;
    if (options.fingers < 1 || options.fingers > 100000 || options.impressions < 1 || options.impressions > 1000) {
        result.error = "fingers must be 1 to 100000 and impressions 1 to 1000";
        return result;
    }
    const std::filesystem::path folder(options.folder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
        result.error = "cannot create the folder " + options.folder;
        return result;
    }
    const char* extension = options.format == ImageFormat::Png ? ".png" : ".pgm";

    // Fingers are independent; workers take the next one until none is left.
    std::atomic<int> nextFinger{1};
    std::atomic<int> images{0};
    std::atomic<long long> minutiae{0};
    std::mutex errorLock;
    const auto work = [&] {
        for (;;) {
            const int finger = nextFinger.fetch_add(1);
            if (finger > options.fingers) {
                return;
            }
            try {
                const MasterFingerprint master = DatasetMaster(options, finger);
                for (int i = 1; i <= options.impressions; ++i) {
                    ImpressionOptions impressionOptions = options.impression;
                    impressionOptions.seed = ImpressionSeed(master.Seed(), i);
                    const Impression impression = RenderImpression(master, impressionOptions);
                    const std::string name = ImpressionName(finger, i);
                    GroundTruth truth;
                    truth.image = name + extension;
                    truth.width = impression.image.width;
                    truth.height = impression.image.height;
                    truth.patternClass = master.Class();
                    truth.masterSeed = master.Seed();
                    truth.impressionSeed = impressionOptions.seed;
                    truth.singularPoints = impression.singularPoints;
                    truth.minutiae = impression.minutiae;
                    const std::vector<uint8_t> bytes = EncodeImage(impression.image, options.format);
                    const std::string text = FormatGroundTruth(truth);
                    if (!WriteBytes(folder / truth.image, bytes.data(), bytes.size()) ||
                        !WriteBytes(folder / (name + ".txt"), text.data(), text.size())) {
                        throw std::runtime_error("cannot write " + (folder / truth.image).string());
                    }
                    ++images;
                    minutiae += static_cast<long long>(truth.minutiae.size());
                }
            } catch (const std::exception& e) {
                const std::lock_guard<std::mutex> lock(errorLock);
                if (result.error.empty()) {
                    result.error = e.what();
                }
                nextFinger = options.fingers + 1;
                return;
            }
        }
    };
    unsigned threads =
        options.threads > 0 ? static_cast<unsigned>(options.threads) : std::thread::hardware_concurrency();
    threads = threads == 0 ? 1 : threads;
    threads = threads > static_cast<unsigned>(options.fingers) ? static_cast<unsigned>(options.fingers) : threads;
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads; ++t) {
        workers.emplace_back(work);
    }
    work();
    for (std::thread& worker : workers) {
        worker.join();
    }
    result.images = images;
    result.minutiae = minutiae;
    return result;
}

}  // namespace fpsynth
