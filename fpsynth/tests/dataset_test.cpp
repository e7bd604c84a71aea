// Data sets and the fpsynth program: files named by finger and impression, each image
// beside its ground truth, the same bytes whatever the number of threads, and a program
// that writes exactly what the library makes.
#include "fpsynth/dataset.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fpsynth/ground_truth.h"
#include "fpsynth/image_files.h"
#include "run_program.h"
#include "scratch_folder.h"

namespace fpsynth {
namespace {

using kit::testing::RunProgram;
using kit::testing::ScratchFolder;

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

DatasetOptions SmallDataset(const std::string& folder)
{
    DatasetOptions options;
    options.folder = folder;
    options.fingers = 2;
    options.impressions = 2;
    options.seed = 77;
    options.format = ImageFormat::Pgm;
    options.impression.width = 160;
    options.impression.height = 128;
    return options;
}

TEST(Dataset, EveryImageHasItsGroundTruthAndIsTheLibrarysImpression)
{
    const ScratchFolder folder;
    DatasetOptions options = SmallDataset(folder.Path("set"));
    options.classes = ClassMix::Balanced;
    const DatasetResult result = WriteDataset(options);
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.images, 4);
    long long listed = 0;
    for (int finger = 1; finger <= 2; ++finger) {
        const MasterFingerprint master = DatasetMaster(options, finger);
        EXPECT_EQ(master.Class(), kPatternClasses[static_cast<size_t>(finger - 1)]);
        for (int i = 1; i <= 2; ++i) {
            const std::string name = ImpressionName(finger, i);
            const DecodedImage image = DecodeImage(Bytes(folder.Read("set/" + name + ".pgm")));
            ASSERT_TRUE(image.image.has_value()) << image.error;
            const ParsedGroundTruth truth = ParseGroundTruth(folder.Read("set/" + name + ".txt"));
            ASSERT_TRUE(truth.truth.has_value()) << truth.error;
            EXPECT_EQ(truth.truth->image, name + ".pgm");
            EXPECT_EQ(truth.truth->width, 160);
            EXPECT_EQ(truth.truth->patternClass, master.Class());
            EXPECT_EQ(truth.truth->masterSeed, FingerSeed(77, finger));
            listed += static_cast<long long>(truth.truth->minutiae.size());

            ImpressionOptions impressionOptions = options.impression;
            impressionOptions.seed = ImpressionSeed(master.Seed(), i);
            EXPECT_EQ(truth.truth->impressionSeed, impressionOptions.seed);
            const Impression impression = RenderImpression(master, impressionOptions);
            EXPECT_EQ(image.image->pixels, impression.image.pixels);
            EXPECT_EQ(truth.truth->minutiae.size(), impression.minutiae.size());
        }
    }
    EXPECT_EQ(result.minutiae, listed);
    EXPECT_EQ(ImpressionName(12, 3), "f0012_3");
}

TEST(Dataset, FilesDoNotDependOnTheNumberOfThreads)
{
    const ScratchFolder folder;
    DatasetOptions one = SmallDataset(folder.Path("one"));
    one.impressions = 1;
    one.threads = 1;
    DatasetOptions two = one;
    two.folder = folder.Path("two");
    two.threads = 2;
    ASSERT_TRUE(WriteDataset(one).error.empty());
    ASSERT_TRUE(WriteDataset(two).error.empty());
    for (const std::string name : {"f0001_1.pgm", "f0001_1.txt", "f0002_1.pgm", "f0002_1.txt"}) {
        EXPECT_EQ(folder.Read("one/" + name), folder.Read("two/" + name)) << name;
    }
}

TEST(Dataset, UnwritableFolderIsReported)
{
    const ScratchFolder folder;
    folder.Write("file", "not a folder");
    DatasetOptions options = SmallDataset(folder.Path("file/set"));
    const DatasetResult result = WriteDataset(options);
    EXPECT_NE(result.error.find("cannot create"), std::string::npos) << result.error;
    options.fingers = 0;
    EXPECT_FALSE(WriteDataset(options).error.empty());
}

TEST(FpsynthProgram, DatasetAndImageCommandsWriteWhatTheLibraryMakes)
{
    const ScratchFolder folder;
    const kit::testing::ProgramRun run =
        RunProgram(FPSYNTH_PATH,
                   {"dataset", "--out", folder.Path("set"), "--fingers", "2", "--impressions", "1", "--size", "160x128",
                    "--seed", "77", "--format", "pgm", "--classes", "balanced"},
                   {});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("2 images"), std::string::npos) << run.output;

    const ScratchFolder library;
    DatasetOptions options = SmallDataset(library.Path("set"));
    options.impressions = 1;
    options.classes = ClassMix::Balanced;
    ASSERT_TRUE(WriteDataset(options).error.empty());
    EXPECT_EQ(folder.Read("set/f0002_1.pgm"), library.Read("set/f0002_1.pgm"));
    EXPECT_EQ(folder.Read("set/f0002_1.txt"), library.Read("set/f0002_1.txt"));

    // One image of the set on its own: the same picture, and its ground truth beside it.
    const kit::testing::ProgramRun image =
        RunProgram(FPSYNTH_PATH,
                   {"image", "--out", folder.Path("one.pgm"), "--seed", "77", "--finger", "2", "--impression", "1",
                    "--size", "160x128", "--class", "tented-arch"},
                   {});
    ASSERT_EQ(image.exitCode, 0) << image.errors;
    EXPECT_EQ(folder.Read("one.pgm"), library.Read("set/f0002_1.pgm"));
    const ParsedGroundTruth truth = ParseGroundTruth(folder.Read("one.txt"));
    ASSERT_TRUE(truth.truth.has_value()) << truth.error;
    EXPECT_EQ(truth.truth->image, "one.pgm");
}

TEST(FpsynthProgram, MasterAndSensorFrameImages)
{
    const ScratchFolder folder;
    ASSERT_EQ(
        RunProgram(FPSYNTH_PATH, {"image", "--out", folder.Path("m.png"), "--master", "--seed", "3"}, {}).exitCode, 0);
    ASSERT_EQ(
        RunProgram(FPSYNTH_PATH, {"image", "--out", folder.Path("f.png"), "--frame", "90", "--seed", "3"}, {}).exitCode,
        0);
    const DecodedImage master = DecodeImage(Bytes(folder.Read("m.png")));
    const DecodedImage frame = DecodeImage(Bytes(folder.Read("f.png")));
    ASSERT_TRUE(master.image && frame.image);
    EXPECT_GT(master.image->width, 250);
    EXPECT_EQ(frame.image->width, 440);
    EXPECT_EQ(frame.image->height, 360);
    EXPECT_TRUE(ParseGroundTruth(folder.Read("m.txt")).truth.has_value());
}

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* message;
};

class FpsynthUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(FpsynthUsageTest, MistakesAreExplainedWithExitCodeTwo)
{
    const kit::testing::ProgramRun run = RunProgram(FPSYNTH_PATH, GetParam().arguments, {});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find(GetParam().message), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("usage:"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, FpsynthUsageTest,
    ::testing::Values(UsageCase{"noCommand", {}, "no command"},
                      UsageCase{"unknownCommand", {"draw"}, "unknown command draw"},
                      UsageCase{"noOut", {"dataset"}, "--out is required"},
                      UsageCase{"badSize", {"image", "--out", "x.png", "--size", "10x"}, "--size"},
                      UsageCase{"badFingers", {"dataset", "--out", "d", "--fingers", "0"}, "--fingers"},
                      UsageCase{"badClass", {"image", "--out", "x.png", "--class", "spiral"}, "--class"},
                      UsageCase{"unknownOption", {"sheet", "--out", "s.png", "--colour"}, "--colour"},
                      UsageCase{"missingValue", {"image", "--out"}, "needs a value"},
                      UsageCase{"masterAndFrame", {"image", "--out", "x.png", "--master", "--frame", "3"}, "exclude"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FpsynthProgram, HelpPrintsTheUsage)
{
    const kit::testing::ProgramRun run = RunProgram(FPSYNTH_PATH, {"--help"}, {});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("fpsynth dataset"), std::string::npos);
}

}  // namespace
}  // namespace fpsynth
