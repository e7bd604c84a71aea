// A grey image the caller owns: width x height bytes, the top row first, no padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace dactis {

struct GreyView {
    std::span<const uint8_t> pixels;
    int width = 0;
    int height = 0;
};

// The caller's image when its pointer is set and its sides lie in minSide..DC_MAX_IMAGE_SIDE;
// DC_OK, DC_ERROR_INVALID_ARGUMENT or DC_ERROR_INVALID_IMAGE_SIZE in result.
GreyView CallerImage(const unsigned char* rawImage, int width, int height, int minSide, int& result);

}  // namespace dactis
