// kestrix-capture with the simulated reader, and without any reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "capture/image_statistics.h"
#include "fpsynth/image_files.h"
#include "run_program.h"
#include "scratch_folder.h"

namespace {

kit::testing::ProgramRun Capture(const std::vector<std::string>& arguments,
                                 const std::map<std::string, std::string>& environment)
{
    return kit::testing::RunProgram(KESTRIX_CAPTURE_PATH, arguments, environment, 120);
}

std::vector<int> Results(const std::string& output)
{
    const size_t at = output.find("results:");
    std::vector<int> results;
    if (at == std::string::npos) {
        return results;
    }
    std::istringstream line(output.substr(at + 8, output.find('\n', at) - at - 8));
    for (int r = 0; line >> r;) {
        results.push_back(r);
    }
    return results;
}

TEST(CaptureTool, WithTheVirtualReaderWritesAFingerprintAfterTheExposureControlSettles)
{
    kit::testing::ScratchFolder folder;
    const std::string out = folder.Path("finger.pgm");
    const kit::testing::ProgramRun run = Capture({out}, {{"KESTRIX_VIRTUAL_READER", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errors;
    EXPECT_NE(run.output.find("reader: mode byte 0, key 0x31304B56\n"), std::string::npos) << run.output;
    const std::vector<int> results = Results(run.output);
    ASSERT_GE(results.size(), 4u) << run.output;
    EXPECT_TRUE(results.back() == 2 || results.back() == 3) << run.output;
    EXPECT_EQ(results[0], 0) << "no finger at first";
    EXPECT_NE(std::find(results.begin(), results.end(), 1), results.end());

    const std::string bytes = folder.Read("finger.pgm");
    ASSERT_EQ(bytes.compare(0, 2, "P5"), 0);
    const fpsynth::DecodedImage decoded =
        fpsynth::DecodeImage(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(decoded.image) << decoded.error;
    EXPECT_EQ(decoded.image->width, 352);
    EXPECT_EQ(decoded.image->height, 288);
    const kestrix::ImageStatistics statistics = kestrix::MeasureImage(decoded.image->pixels);
    EXPECT_GT(statistics.area, 15000);
    EXPECT_GE(statistics.mean, 80);
}

TEST(CaptureTool, WithoutAReaderSaysSoAndWritesNothing)
{
    kit::testing::ScratchFolder folder;
    const kit::testing::ProgramRun run = Capture({folder.Path("x.pgm")}, {{"KESTRIX_VIRTUAL_READER", "0"}});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("no reader found"), std::string::npos) << run.errors;
    EXPECT_TRUE(folder.Read("x.pgm").empty());
}

TEST(CaptureTool, RefusesUsageMistakes)
{
    EXPECT_EQ(Capture({}, {}).exitCode, 2);
    EXPECT_EQ(Capture({"a.pgm", "b.pgm"}, {}).exitCode, 2);
    EXPECT_EQ(Capture({"--frames", "0", "a.pgm"}, {}).exitCode, 2);
    EXPECT_EQ(Capture({"--frames"}, {}).exitCode, 2);
}

}  // namespace
