// BMP files of grey images: what the SDK writes reads back, and what other programs write
// in the accepted variants reads as grey; anything malformed is refused with a reason.
#include "image/bmp_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/byte_order.h"

namespace dactis {
namespace {

fpsynth::GreyImage Pattern(int width, int height)
{
    fpsynth::GreyImage image(width, height);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = static_cast<uint8_t>(i * 31 + 7);
    }
    return image;
}

// A file of the given depth, top-down or not, with the pixels' values as palette indices
// (8 bits, a grey palette) or as equal blue, green and red bytes (24 bits).
std::vector<uint8_t> Bmp(const fpsynth::GreyImage& image, int bits, bool topDown)
{
    const size_t palette = bits == 8 ? 1024 : 0;
    const size_t row = (static_cast<size_t>(image.width) * bits / 8 + 3) / 4 * 4;
    std::vector<uint8_t> file(54 + palette + row * static_cast<size_t>(image.height), 0);
    file[0] = 'B';
    file[1] = 'M';
    StoreLE32(file, 2, static_cast<uint32_t>(file.size()));
    StoreLE32(file, 10, static_cast<uint32_t>(54 + palette));
    StoreLE32(file, 14, 40);
    StoreLE32(file, 18, static_cast<uint32_t>(image.width));
    StoreLE32(file, 22, static_cast<uint32_t>(topDown ? -image.height : image.height));
    StoreLE16(file, 26, 1);
    StoreLE16(file, 28, static_cast<uint16_t>(bits));
    for (size_t v = 0; v < palette / 4; ++v) {
        file[54 + 4 * v] = file[55 + 4 * v] = file[56 + 4 * v] = static_cast<uint8_t>(v);
    }
    for (int y = 0; y < image.height; ++y) {
        const size_t at = 54 + palette + row * static_cast<size_t>(topDown ? y : image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            for (int c = 0; c < bits / 8; ++c) {
                file[at + static_cast<size_t>(x * bits / 8 + c)] = image.at(x, y);
            }
        }
    }
    return file;
}

TEST(DactisBmpFile, WrittenFilesReadBackAtEveryWidthPadding)
{
    for (int width = 1; width <= 8; ++width) {
        const fpsynth::GreyImage image = Pattern(width, 3);
        const fpsynth::DecodedImage decoded = DecodeBmp(EncodeBmp(image), 4096);
        ASSERT_TRUE(decoded.image) << decoded.error;
        EXPECT_EQ(decoded.image->pixels, image.pixels) << "width " << width;
    }
}

TEST(DactisBmpFile, AcceptedVariantsReadAsTheSameGreyImage)
{
    const fpsynth::GreyImage image = Pattern(7, 4);
    for (int bits : {8, 24}) {
        for (bool topDown : {false, true}) {
            const fpsynth::DecodedImage decoded = DecodeBmp(Bmp(image, bits, topDown), 4096);
            ASSERT_TRUE(decoded.image) << bits << " bits, top-down " << topDown << ": " << decoded.error;
            EXPECT_EQ(decoded.image->pixels, image.pixels) << bits << " bits, top-down " << topDown;
        }
    }
    std::vector<uint8_t> lastRowUnpadded = Bmp(image, 24, false);
    lastRowUnpadded.resize(lastRowUnpadded.size() - 3);
    EXPECT_TRUE(DecodeBmp(lastRowUnpadded, 4096).image) << "the last row need not carry its padding";
}

TEST(DactisBmpFile, MalformedFilesAreRefusedWithAReason)
{
    const std::vector<uint8_t> good = Bmp(Pattern(7, 4), 8, false);
    const std::pair<const char*, std::function<void(std::vector<uint8_t>&)>> damage[] = {
        {"signature", [](auto& f) { f[1] = 'N'; }},
        {"header version", [](auto& f) { StoreLE32(f, 14, 64); }},
        {"header past the end",
         [](auto& f) {
             StoreLE32(f, 14, 124);
             f.resize(100);
         }},
        {"planes", [](auto& f) { StoreLE16(f, 26, 2); }},
        {"16 bits", [](auto& f) { StoreLE16(f, 28, 16); }},
        {"run-length compression", [](auto& f) { StoreLE32(f, 30, 1); }},
        {"width 0", [](auto& f) { StoreLE32(f, 18, 0); }},
        {"negative width", [](auto& f) { StoreLE32(f, 18, static_cast<uint32_t>(-7)); }},
        {"height 0", [](auto& f) { StoreLE32(f, 22, 0); }},
        {"most negative height", [](auto& f) { StoreLE32(f, 22, 0x80000000u); }},
        {"wider than allowed", [](auto& f) { StoreLE32(f, 18, 4097); }},
        {"palette of 257", [](auto& f) { StoreLE32(f, 46, 257); }},
        {"palette over the pixels", [](auto& f) { StoreLE32(f, 10, 54 + 100); }},
        {"pixels past the end", [](auto& f) { StoreLE32(f, 10, static_cast<uint32_t>(f.size())); }},
        {"offset past the end", [](auto& f) { StoreLE32(f, 10, 0xFFFFFFF0u); }},
        {"pixel outside a short palette", [](auto& f) { StoreLE32(f, 46, 4); }},
        {"truncated", [](auto& f) { f.resize(40); }},
    };
    for (const auto& [what, change] : damage) {
        std::vector<uint8_t> file = good;
        change(file);
        const fpsynth::DecodedImage decoded = DecodeBmp(file, 4096);
        EXPECT_FALSE(decoded.image) << what;
        EXPECT_FALSE(decoded.error.empty()) << what;
    }
}

}  // namespace
}  // namespace dactis
