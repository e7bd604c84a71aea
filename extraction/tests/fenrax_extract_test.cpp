// fenrax-extract end to end: a PGM image in, the template, the debug dumps and the
// picture of the maps out, and the mistakes it reports.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_program.h"
#include "scratch_folder.h"
#include "support/test_images.h"

namespace {

using kit::testing::ProgramRun;
using kit::testing::ScratchFolder;

ProgramRun Extract(const std::vector<std::string>& arguments)
{
    return kit::testing::RunProgram(FENRAX_EXTRACT_PATH, arguments, {});
}

std::string Pgm(int width, int height, const std::vector<uint8_t>& pixels)
{
    return "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n" +
           std::string(pixels.begin(), pixels.end());
}

uint32_t BigEndian32(const std::string& bytes, size_t offset)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
    }
    return value;
}

struct PngPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rows;  // inflated image data, a filter byte before each row
};

// Walks the chunks, checking each CRC, and inflates the image data.
PngPicture ReadPng(const std::string& png)
{
    PngPicture picture;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::string packed;
    size_t pos = 8;
    while (pos + 12 <= png.size()) {
        const uint32_t length = BigEndian32(png, pos);
        const std::string type = png.substr(pos + 4, 4);
        const auto* start = reinterpret_cast<const Bytef*>(png.data() + pos + 4);
        EXPECT_EQ(crc32(0, start, length + 4), BigEndian32(png, pos + 8 + length)) << type;
        if (type == "IHDR") {
            picture.width = BigEndian32(png, pos + 8);
            picture.height = BigEndian32(png, pos + 12);
            EXPECT_EQ(png[pos + 16], 8);  // bits
            EXPECT_EQ(png[pos + 17], 2);  // RGB
        } else if (type == "IDAT") {
            packed += png.substr(pos + 8, length);
        }
        pos += 12 + length;
    }
    EXPECT_EQ(pos, png.size());
    uLongf size = static_cast<uLongf>(picture.height) * (1 + 3 * static_cast<uLongf>(picture.width));
    picture.rows.resize(size);
    EXPECT_EQ(uncompress(picture.rows.data(), &size, reinterpret_cast<const Bytef*>(packed.data()),
                         static_cast<uLong>(packed.size())),
              Z_OK);
    EXPECT_EQ(size, picture.rows.size());
    return picture;
}

TEST(FenraxExtract, WritesTheTemplateOfTheImage)
{
    ScratchFolder dir;
    const std::string image = dir.Write("print.pgm", Pgm(300, 300, fenrax::testing::StripeImage(300, 300, 9, 40)));
    const ProgramRun run = Extract({image, dir.Path("print.tpl")});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const std::string encrypted = dir.Read("print.tpl");
    ASSERT_EQ(encrypted.size(), 400u);
    const std::vector<uint8_t> plain = fenrax::testing::DecryptTemplate(
        std::span(reinterpret_cast<const uint8_t*>(encrypted.data()), encrypted.size()));
    EXPECT_EQ(plain[14], 150);
    EXPECT_EQ(plain[16], 150);
    EXPECT_EQ(plain[19], 0x5C);

    EXPECT_EQ(Extract({"--short", image, dir.Path("short.tpl")}).exitCode, 0);
    EXPECT_EQ(dir.Read("short.tpl").size(), 256u);
}

TEST(FenraxExtract, WritesTheDebugDumpsIntoTheCurrentFolder)
{
    ScratchFolder dir;
    const std::string image = dir.Write("in/print.pgm", Pgm(256, 256, fenrax::testing::StripeImage(256, 256, 8, 0)));
    const fenrax::testing::CurrentFolder here(dir.Folder());
    const ProgramRun run = Extract({"--debug", image, "print.tpl"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(dir.Read("enh.raw").size(), 272u * 272u);
    EXPECT_EQ(dir.Read("dir.dat").size(), 34u * 34u);
    EXPECT_EQ(dir.Read("print.tpl").size(), 400u);
}

TEST(FenraxExtract, DrawsTheMapsBesideEachOther)
{
    ScratchFolder dir;
    const std::string image = dir.Write("print.pgm", Pgm(256, 256, fenrax::testing::StripeImage(256, 256, 8, 90)));
    const ProgramRun run = Extract({"--maps", dir.Path("maps.png"), image, dir.Path("print.tpl")});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const PngPicture picture = ReadPng(dir.Read("maps.png"));
    // Two panels of the 272 x 272 working image, three times enlarged, 6 pixels apart.
    EXPECT_EQ(picture.width, 2u * 816u + 6u);
    EXPECT_EQ(picture.height, 816u);
    // The centre of the direction panel's middle block lies on its vertical segment: red.
    const size_t stride = 1 + 3 * picture.width;
    const size_t centre = 1 + static_cast<size_t>(3 * (17 * 8 + 4)) * stride + 3 * (3 * (17 * 8 + 4));
    ASSERT_LT(centre + 2, picture.rows.size());
    EXPECT_GT(picture.rows[centre], 200);
    EXPECT_LT(picture.rows[centre + 1], 60);
}

TEST(FenraxExtract, ReportsWhatItCannotDo)
{
    ScratchFolder dir;
    const ProgramRun missing = Extract({dir.Path("missing.pgm"), dir.Path("out.tpl")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("cannot read"), std::string::npos) << missing.errors;

    const std::string bad = dir.Write("bad.pgm", "P5 4 4 65535\n");
    const ProgramRun refused = Extract({bad, dir.Path("out.tpl")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.errors.find("16-bit"), std::string::npos) << refused.errors;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.tpl")));

    const std::string good = dir.Write("good.pgm", Pgm(64, 64, std::vector<uint8_t>(64 * 64, 100)));
    const ProgramRun unwritable = Extract({good, dir.Path("no/such/folder/out.tpl")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.errors.find("cannot write"), std::string::npos) << unwritable.errors;

    for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{
             {}, {good}, {good, "a", "b"}, {"--maps"}, {good, "out.tpl", "--maps"}, {"--unknown", good, "out.tpl"}}) {
        const ProgramRun run = Extract(usage);
        EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(usage);
        EXPECT_NE(run.errors.find("usage:"), std::string::npos);
    }
}

}  // namespace
