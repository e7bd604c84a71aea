// The ground-truth text: what is written parses back to the same values, and malformed
// text is refused with the line and the reason.
#include "fpsynth/ground_truth.h"

#include <gtest/gtest.h>

namespace fpsynth {
namespace {

GroundTruth Sample()
{
    GroundTruth truth;
    truth.image = "f0003_2.png";
    truth.width = 352;
    truth.height = 288;
    truth.patternClass = PatternClass::RightLoop;
    truth.masterSeed = 18446744073709551615ull;
    truth.impressionSeed = 42;
    truth.singularPoints = {{171.25, 130.5, SingularKind::Core}, {100.0, 231.75, SingularKind::Delta}};
    truth.minutiae = {{123.4, 87.25, 45.0, MinutiaType::Ending},
                      {0.0, 287.0, 359.96, MinutiaType::Bifurcation},
                      {351.0, 0.0, 0.0, MinutiaType::Ending}};
    return truth;
}

TEST(GroundTruthText, WrittenTextParsesBackToTheSameValues)
{
    const GroundTruth truth = Sample();
    const std::string text = FormatGroundTruth(truth);
    const ParsedGroundTruth parsed = ParseGroundTruth(text);
    ASSERT_TRUE(parsed.truth.has_value()) << parsed.error;
    const GroundTruth& back = *parsed.truth;
    EXPECT_EQ(back.image, truth.image);
    EXPECT_EQ(back.width, 352);
    EXPECT_EQ(back.height, 288);
    EXPECT_EQ(back.patternClass, PatternClass::RightLoop);
    EXPECT_EQ(back.masterSeed, truth.masterSeed);
    EXPECT_EQ(back.impressionSeed, 42u);
    ASSERT_EQ(back.singularPoints.size(), 2u);
    EXPECT_EQ(back.singularPoints[1].kind, SingularKind::Delta);
    EXPECT_DOUBLE_EQ(back.singularPoints[1].y, 231.75);
    ASSERT_EQ(back.minutiae.size(), 3u);
    EXPECT_DOUBLE_EQ(back.minutiae[0].x, 123.4);
    EXPECT_DOUBLE_EQ(back.minutiae[0].direction, 45.0);
    EXPECT_EQ(back.minutiae[1].type, MinutiaType::Bifurcation);
    // 359.96 rounds to 360.0, which is written as the same direction, 0.0.
    EXPECT_DOUBLE_EQ(back.minutiae[1].direction, 0.0);
    EXPECT_NE(text.find("minutia 123.40 87.25 45.0 ending\n"), std::string::npos) << text;
}

TEST(GroundTruthText, CommentsBlankLinesAndWindowsLineEndsAreAccepted)
{
    const ParsedGroundTruth parsed = ParseGroundTruth(
        "fpsynth-ground-truth 1\r\n# a comment\r\n\r\nsize 10 10\r\nclass whorl\r\n"
        "minutia 1.5 2 90 bifurcation\r\n");
    ASSERT_TRUE(parsed.truth.has_value()) << parsed.error;
    EXPECT_EQ(parsed.truth->patternClass, PatternClass::Whorl);
    EXPECT_EQ(parsed.truth->minutiae.size(), 1u);
}

struct MalformedCase {
    const char* name;
    const char* text;
    const char* reason;
};

class MalformedGroundTruthTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedGroundTruthTest, IsRefusedWithLineAndReason)
{
    const ParsedGroundTruth parsed = ParseGroundTruth(GetParam().text);
    EXPECT_FALSE(parsed.truth.has_value());
    EXPECT_NE(parsed.error.find(GetParam().reason), std::string::npos) << parsed.error;
}

#define HEAD "fpsynth-ground-truth 1\nsize 100 50\nclass arch\n"

INSTANTIATE_TEST_SUITE_P(
    Texts, MalformedGroundTruthTest,
    ::testing::Values(MalformedCase{"empty", "", "empty"},
                      MalformedCase{"otherFile", "P5\n1 1\n255\n", "line 1: not a ground truth"},
                      MalformedCase{"noSize", "fpsynth-ground-truth 1\nclass arch\n", "size and class are required"},
                      MalformedCase{"sizeTwice", HEAD "size 1 1\n", "line 4: size"},
                      MalformedCase{"zeroSize", "fpsynth-ground-truth 1\nsize 0 5\n", "line 2: size"},
                      MalformedCase{"unknownClass", "fpsynth-ground-truth 1\nclass spiral\n", "line 2: class"},
                      MalformedCase{"pointBeforeSize", "fpsynth-ground-truth 1\ncore 1 1\n", "follow the size"},
                      MalformedCase{"outsideImage", HEAD "minutia 100 10 0 ending\n", "line 4: position"},
                      MalformedCase{"negative", HEAD "core -1 10\n", "position"},
                      MalformedCase{"notANumber", HEAD "minutia 1x 10 0 ending\n", "position"},
                      MalformedCase{"infinite", HEAD "delta inf 10\n", "position"},
                      MalformedCase{"fullTurn", HEAD "minutia 1 1 360 ending\n", "direction"},
                      MalformedCase{"unknownType", HEAD "minutia 1 1 10 island\n", "type"},
                      MalformedCase{"missingField", HEAD "minutia 1 1 10\n", "minutia takes"},
                      MalformedCase{"extraField", HEAD "core 1 1 1\n", "singular point takes"},
                      MalformedCase{"seedsNotNumbers", HEAD "seeds a b\n", "seeds"},
                      MalformedCase{"unknownLine", HEAD "ridges 12\n", "line 4: unknown line"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fpsynth
