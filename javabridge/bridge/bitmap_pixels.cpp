#include "bitmap_pixels.h"

#include <cstdint>

namespace dactisjava {

bool BitmapToPixels(const BmBitmapInfo& bitmap, std::span<jint> pixels) noexcept
{
    if (bitmap.width < 1 || bitmap.height < 1 || bitmap.bits == nullptr ||
        (bitmap.bitsPerPixel != 8 && bitmap.bitsPerPixel != 24)) {
        return false;
    }
    const size_t width = static_cast<size_t>(bitmap.width);
    const size_t height = static_cast<size_t>(bitmap.height);
    const size_t rowBytes = (width * static_cast<size_t>(bitmap.bitsPerPixel) + 31) / 32 * 4;
    if (static_cast<size_t>(bitmap.widthBytes) != rowBytes || pixels.size() / width < height) {
        return false;
    }
    for (size_t i = 0; i < height; ++i) {
        const uint8_t* row = bitmap.bits + (height - 1 - i) * rowBytes;
        jint* out = pixels.data() + i * width;
        if (bitmap.bitsPerPixel == 8) {
            for (size_t j = 0; j < width; ++j) {
                out[j] = static_cast<jint>(row[j] * 0x010101u);
            }
        } else {
            for (size_t j = 0; j < width; ++j) {
                const uint8_t* bgr = row + 3 * j;
                out[j] = static_cast<jint>(static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 |
                                           bgr[0]);
            }
        }
    }
    return true;
}

}  // namespace dactisjava
