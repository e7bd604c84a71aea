#include "support/test_images.h"

#include <nettle/des.h>

#include <algorithm>
#include <cmath>

namespace fenrax::testing {

std::vector<uint8_t> StripeImage(int width, int height, double period, double angleDegrees, int mid, int amplitude)
{
    const double angle = angleDegrees * M_PI / 180.0;
    // Distance across the ridges is measured along the normal of their direction.
    const double nx = -std::sin(angle);
    const double ny = std::cos(angle);
    std::vector<uint8_t> image(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double across = x * nx + y * ny;
            const double level = mid - amplitude * std::cos(2 * M_PI * across / period);
            image[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(std::clamp(std::lround(level), 0L, 255L));
        }
    }
    return image;
}

std::vector<uint8_t> DecryptTemplate(std::span<const uint8_t> encrypted)
{
    const uint8_t key[8] = {0x07, 0x03, 0x05, 0x09, 0x02, 0x06, 0x03, 0x05};
    des_ctx context{};
    des_set_key(&context, key);
    std::vector<uint8_t> plain(encrypted.begin(), encrypted.end());
    des_decrypt(&context, plain.size(), plain.data(), plain.data());
    return plain;
}

}  // namespace fenrax::testing
