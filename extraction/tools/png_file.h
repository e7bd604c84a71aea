// Colour pictures written as PNG (8-bit RGB, one zlib stream).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fenrax::tools {

struct RgbImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, row-major

    RgbImage() = default;
    RgbImage(int32_t w, int32_t h) : width(w), height(h), rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3, 0) {}
    void Set(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b)
    {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return;
        }
        uint8_t* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
};

// The PNG file's bytes; empty when zlib fails.
std::vector<uint8_t> EncodePng(const RgbImage& image);

}  // namespace fenrax::tools
