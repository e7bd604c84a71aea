#include "tools/maps_picture.h"

#include <algorithm>
#include <cmath>

namespace fenrax::tools {
namespace {

constexpr int kGap = 6;  // pixels between the panels

int PictureScale(const Geometry& g)
{
    const int32_t side = std::max(g.paddedWidth, g.paddedHeight);
    return side <= 400 ? 3 : side <= 800 ? 2 : 1;
}

uint8_t Mix(int a, int b, int percentA)
{
    return static_cast<uint8_t>((a * percentA + b * (100 - percentA)) / 100);
}

void DrawDirection(RgbImage& picture, int scale, int32_t bx, int32_t by, int direction)
{
    const double angle = direction * 22.5 * 3.14159265358979323846 / 180.0;
    const double cx = (8 * bx + 4) * scale;
    const double cy = (8 * by + 4) * scale;
    const double half = 2.75 * scale;
    const int thickness = scale >= 3 ? 1 : 0;
    for (double t = -half; t <= half; t += 0.25) {
        const int x = static_cast<int>(std::lround(cx + t * std::cos(angle)));
        const int y = static_cast<int>(std::lround(cy + t * std::sin(angle)));
        for (int dy = -thickness; dy <= thickness; ++dy) {
            for (int dx = -thickness; dx <= thickness; ++dx) {
                picture.Set(x + dx, y + dy, 230, 20, 20);
            }
        }
    }
}

}  // namespace

RgbImage DrawMapsPicture(const Geometry& g, std::span<const uint8_t> working, std::span<const uint8_t> directionMap,
                         std::span<const uint8_t> periodMap)
{
    const int scale = PictureScale(g);
    const int32_t panelWidth = g.paddedWidth * scale;
    RgbImage picture(2 * panelWidth + kGap, g.paddedHeight * scale);
    std::fill(picture.rgb.begin(), picture.rgb.end(), uint8_t{255});
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < panelWidth; ++x) {
            const int32_t px = x / scale;
            const int32_t py = y / scale;
            const int grey =
                working[static_cast<size_t>(py) * static_cast<size_t>(g.paddedWidth) + static_cast<size_t>(px)];
            // Lightened so that the segments stand out.
            const uint8_t light = static_cast<uint8_t>(64 + grey * 3 / 4);
            picture.Set(x, y, light, light, light);
            const int32_t bx = px / 8;
            const int32_t by = py / 8;
            uint8_t r = light;
            uint8_t gr = light;
            uint8_t b = light;
            if (bx < g.blocksWide && by < g.blocksHigh) {
                const int period = periodMap[g.BlockIndex(bx, by)];
                if (period == 0) {
                    r = gr = static_cast<uint8_t>(grey / 3);
                    b = static_cast<uint8_t>(grey / 2 + 60);
                } else if (period >= 40 && period <= 200) {
                    const int level = std::clamp((period - 50) * 255 / 100, 0, 255);
                    r = gr = b = Mix(level, grey, 75);
                } else {
                    r = static_cast<uint8_t>(grey / 2 + 100);
                    gr = b = static_cast<uint8_t>(grey / 3);
                }
            }
            picture.Set(panelWidth + kGap + x, y, r, gr, b);
        }
    }
    for (int32_t by = 0; by < g.blocksHigh; ++by) {
        for (int32_t bx = 0; bx < g.blocksWide; ++bx) {
            const int direction = directionMap[g.BlockIndex(bx, by)];
            if (direction < 8) {
                DrawDirection(picture, scale, bx, by, direction);
            }
        }
    }
    return picture;
}

}  // namespace fenrax::tools
