// The PGM reader of fenrax-extract: what it accepts and what it refuses, and why.

#include "tools/pgm_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fenrax::tools {
namespace {

PgmReading Read(const std::string& text)
{
    return ReadPgm(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

TEST(PgmFile, ReadsBinaryImagesWithCommentsInTheHeader)
{
    const PgmReading r = Read(std::string("P5\n# made by hand\n3 2 # size\n255\n") + "\x01\x02\x03\xfd\xfe\xff");
    ASSERT_TRUE(r.image.has_value()) << r.error;
    EXPECT_EQ(r.image->width, 3);
    EXPECT_EQ(r.image->height, 2);
    EXPECT_EQ(r.image->pixels, (std::vector<uint8_t>{1, 2, 3, 253, 254, 255}));
}

TEST(PgmFile, ReadsPlainImagesAndScalesSmallMaximaToFullRange)
{
    const PgmReading r = Read("P2 2 2 15\n0 7\n# a comment\n 15  1\n");
    ASSERT_TRUE(r.image.has_value()) << r.error;
    EXPECT_EQ(r.image->pixels, (std::vector<uint8_t>{0, 119, 255, 17}));
    const PgmReading binary = Read(std::string("P5 2 1 1\n") + std::string("\x00\x01", 2));
    ASSERT_TRUE(binary.image.has_value()) << binary.error;
    EXPECT_EQ(binary.image->pixels, (std::vector<uint8_t>{0, 255}));
}

TEST(PgmFile, TakesTheFirstImageOfAFileThatHoldsSeveral)
{
    const PgmReading r = Read("P5 1 1 255\nAP5 1 1 255\nB");
    ASSERT_TRUE(r.image.has_value()) << r.error;
    EXPECT_EQ(r.image->pixels, (std::vector<uint8_t>{'A'}));
}

TEST(PgmFile, RefusesWhatItCannotReadSafely)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "signature"},
        {"P6 1 1 255\nabc", "signature"},
        {"P5 3", "header"},
        {"P5 3 2", "header"},
        {"P5 x 2 255\n", "header"},
        {"P5 0 2 255\n", "size"},
        {"P5 16385 1 255\n", "size"},
        {"P5 99999999999 1 255\n", "header"},
        {"P5 2 2 65535\n", "16-bit"},
        {"P5 2 2 0\n", "maximum"},
        {"P5 1 1 255", "blank"},
        {"P5 2 2 255\nabc", "expected 4"},
        {"P5 2 1 100\n\x10\x65", "above the maximum"},
        {"P2 2 2 255\n1 2 3", "fewer"},
        {"P2 2 2 255\n1 2 x 4 5", "missing or malformed"},
        {"P2 2 1 9\n3 10", "above the maximum"},
    };
    for (const auto& [text, reason] : cases) {
        const PgmReading r = Read(text);
        EXPECT_FALSE(r.image.has_value()) << text;
        EXPECT_NE(r.error.find(reason), std::string::npos) << text << ": " << r.error;
    }
}

}  // namespace
}  // namespace fenrax::tools
