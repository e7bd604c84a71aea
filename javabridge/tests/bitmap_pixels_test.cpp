// Bitmaps turned into Java pixels: bottom-up rows padded to 4 bytes, grey and colour
// depths, and the layouts that are refused without writing a pixel.
#include "bitmap_pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace dactisjava {
namespace {

constexpr jint kUntouched = 0x7EEEEEEE;

BmBitmapInfo Info(std::vector<uint8_t>& bits, int width, int height, int bitsPerPixel, int widthBytes)
{
    return BmBitmapInfo{width, height, widthBytes, bitsPerPixel, bits.data()};
}

TEST(BridgeBitmapPixels, GreyBytesBecomeRepeatedInTopDownOrder)
{
    // 3 x 2, rows of 3 bytes padded to 4; the bottom row is stored first.
    std::vector<uint8_t> bits = {0x10, 0x20, 0x30, 0xEE, 0x80, 0x00, 0xFF, 0xEE};
    std::vector<jint> pixels(7, kUntouched);
    ASSERT_TRUE(BitmapToPixels(Info(bits, 3, 2, 8, 4), pixels));
    EXPECT_EQ(pixels, (std::vector<jint>{0x808080, 0x000000, 0xFFFFFF, 0x101010, 0x202020, 0x303030, kUntouched}));
}

TEST(BridgeBitmapPixels, BlueGreenRedBytesBecomeRgbIntsInTopDownOrder)
{
    // 3 x 2 at 24 bits: rows of 9 bytes padded to 12.
    std::vector<uint8_t> bits = {
        0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xEE, 0xEE, 0xEE,  // bottom row
        0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xEE, 0xEE, 0xEE,  // top row
    };
    std::vector<jint> pixels(6, kUntouched);
    ASSERT_TRUE(BitmapToPixels(Info(bits, 3, 2, 24, 12), pixels));
    EXPECT_EQ(pixels, (std::vector<jint>{0x0000FF, 0x00FF00, 0xFF0000, 0x030201, 0x060504, 0x090807}));
}

TEST(BridgeBitmapPixels, LayoutsThatCannotBeReadAreRefusedUntouched)
{
    std::vector<uint8_t> bits(64, 0x55);
    struct Case {
        const char* what;
        BmBitmapInfo info;
        size_t pixels;
    };
    const Case cases[] = {
        {"16 bits a pixel", Info(bits, 3, 2, 16, 8), 6},
        {"32 bits a pixel", Info(bits, 3, 2, 32, 12), 6},
        {"rows not padded to 4", Info(bits, 3, 2, 8, 3), 6},
        {"rows padded beyond 4", Info(bits, 3, 2, 24, 16), 6},
        {"fewer pixels than the bitmap", Info(bits, 3, 2, 8, 4), 5},
        {"no width", Info(bits, 0, 2, 8, 0), 6},
        {"negative height", Info(bits, 3, -2, 8, 4), 6},
        {"no bits", BmBitmapInfo{3, 2, 4, 8, nullptr}, 6},
    };
    for (const Case& c : cases) {
        std::vector<jint> pixels(c.pixels, kUntouched);
        EXPECT_FALSE(BitmapToPixels(c.info, pixels)) << c.what;
        EXPECT_EQ(pixels, std::vector<jint>(c.pixels, kUntouched)) << c.what;
    }
}

}  // namespace
}  // namespace dactisjava
