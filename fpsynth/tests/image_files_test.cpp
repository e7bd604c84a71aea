// PNG and PGM: what is written reads back unchanged, and malformed files are refused with
// a reason instead of being read past their end.
#include "fpsynth/image_files.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "scratch_folder.h"

namespace fpsynth {
namespace {

GreyImage Pattern(int width, int height)
{
    GreyImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.at(x, y) = static_cast<uint8_t>((x * 7 + y * 13 + (x * y) % 11) & 0xFF);
        }
    }
    return image;
}

struct Size {
    int width;
    int height;
};

class ImageRoundTripTest : public ::testing::TestWithParam<Size> {};

TEST_P(ImageRoundTripTest, WrittenImagesReadBackUnchanged)
{
    const GreyImage image = Pattern(GetParam().width, GetParam().height);
    for (const ImageFormat format : {ImageFormat::Png, ImageFormat::Pgm}) {
        const std::vector<uint8_t> bytes = EncodeImage(image, format);
        const DecodedImage decoded = DecodeImage(bytes);
        ASSERT_TRUE(decoded.image.has_value()) << decoded.error;
        EXPECT_EQ(decoded.image->width, image.width);
        EXPECT_EQ(decoded.image->height, image.height);
        EXPECT_EQ(decoded.image->pixels, image.pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ImageRoundTripTest,
                         ::testing::Values(Size{1, 1}, Size{3, 2}, Size{352, 288}, Size{257, 31}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST(ImageFiles, SaveImageFollowsTheExtension)
{
    const kit::testing::ScratchFolder folder;
    const GreyImage image = Pattern(20, 10);
    ASSERT_TRUE(SaveImage(folder.Path("a.pgm"), image));
    ASSERT_TRUE(SaveImage(folder.Path("a.png"), image));
    EXPECT_EQ(folder.Read("a.pgm").substr(0, 2), "P5");
    EXPECT_EQ(folder.Read("a.png").substr(1, 3), "PNG");
    EXPECT_FALSE(SaveImage(folder.Path("missing/folder/a.png"), image));
}

// PNG bytes of a 4 x 3 image built by hand, so that tests can break one field at a time.
std::vector<uint8_t> HandMadePng(uint8_t bitDepth, uint8_t colourType, uint8_t interlace, uint32_t width,
                                 uint32_t height, int filter, bool corruptCrc)
{
    const auto be32 = [](std::vector<uint8_t>& out, uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) {
            out.push_back(static_cast<uint8_t>(v >> s));
        }
    };
    const auto chunk = [&](std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
        be32(out, static_cast<uint32_t>(data.size()));
        std::vector<uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        out.insert(out.end(), body.begin(), body.end());
        uint32_t crc = static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
        be32(out, corruptCrc ? crc ^ 1u : crc);
    };
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    be32(header, width);
    be32(header, height);
    header.insert(header.end(), {bitDepth, colourType, 0, 0, interlace});
    chunk(png, "IHDR", header);
    std::vector<uint8_t> raw;
    for (int y = 0; y < 3; ++y) {
        raw.push_back(static_cast<uint8_t>(filter));
        for (int x = 0; x < 4; ++x) {
            raw.push_back(static_cast<uint8_t>(x * 10 + y));
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(size);
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(size);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", {});
    return png;
}

TEST(ImageFiles, HandMadePngWithEveryFilterDecodes)
{
    for (int filter = 0; filter <= 4; ++filter) {
        const DecodedImage decoded = DecodeImage(HandMadePng(8, 0, 0, 4, 3, filter, false));
        ASSERT_TRUE(decoded.image.has_value()) << "filter " << filter << ": " << decoded.error;
        EXPECT_EQ(decoded.image->width, 4);
    }
}

struct MalformedCase {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* reason;  // part of the error text
};

class MalformedImageTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedImageTest, IsRefusedWithAReason)
{
    const DecodedImage decoded = DecodeImage(GetParam().bytes);
    EXPECT_FALSE(decoded.image.has_value());
    EXPECT_NE(decoded.error.find(GetParam().reason), std::string::npos) << decoded.error;
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t keep)
{
    bytes.resize(keep);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, MalformedImageTest,
    ::testing::Values(MalformedCase{"empty", {}, "signature"},
                      MalformedCase{"notAnImage", Bytes("hello world"), "signature"},
                      MalformedCase{"badCrc", HandMadePng(8, 0, 0, 4, 3, 0, true), "CRC"},
                      MalformedCase{"sixteenBit", HandMadePng(16, 0, 0, 4, 3, 0, false), "8-bit grey"},
                      MalformedCase{"colour", HandMadePng(8, 2, 0, 4, 3, 0, false), "8-bit grey"},
                      MalformedCase{"interlaced", HandMadePng(8, 0, 1, 4, 3, 0, false), "interlaced"},
                      MalformedCase{"zeroWidth", HandMadePng(8, 0, 0, 0, 3, 0, false), "size"},
                      MalformedCase{"hugeImage", HandMadePng(8, 0, 0, 100000, 100000, 0, false), "size"},
                      MalformedCase{"dataForAnotherSize", HandMadePng(8, 0, 0, 5, 3, 0, false), "exactly"},
                      MalformedCase{"unknownFilter", HandMadePng(8, 0, 0, 4, 3, 7, false), "filter"},
                      MalformedCase{"truncated", Truncated(HandMadePng(8, 0, 0, 4, 3, 0, false), 40), "truncated"},
                      MalformedCase{"pgmShortData", Bytes("P5\n4 3\n255\nabc"), "expected 12"},
                      MalformedCase{"pgmLongData", Bytes("P5\n1 1\n255\nab"), "expected 1"},
                      MalformedCase{"pgmSixteenBit", Bytes("P5\n1 1\n65535\nab"), "255"},
                      MalformedCase{"pgmNoSize", Bytes("P5\n# only a comment\n"), "size"},
                      MalformedCase{"pgmHugeSize", Bytes("P5\n99999999 2\n255\n"), "size"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageFiles, PgmHeaderCommentsAreSkipped)
{
    const DecodedImage decoded = DecodeImage(Bytes("P5 # made by hand\n2 # wide\n1\n255\nAB"));
    ASSERT_TRUE(decoded.image.has_value()) << decoded.error;
    EXPECT_EQ(decoded.image->pixels, (std::vector<uint8_t>{'A', 'B'}));
}

}  // namespace
}  // namespace fpsynth
