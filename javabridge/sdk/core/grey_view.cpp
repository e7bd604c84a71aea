#include "core/grey_view.h"

#include "dactis/dactis.h"

namespace dactis {

GreyView CallerImage(const unsigned char* rawImage, int width, int height, int minSide, int& result)
{
    if (rawImage == nullptr) {
        result = DC_ERROR_INVALID_ARGUMENT;
        return {};
    }
    if (width < minSide || height < minSide || width > DC_MAX_IMAGE_SIDE || height > DC_MAX_IMAGE_SIDE) {
        result = DC_ERROR_INVALID_IMAGE_SIZE;
        return {};
    }
    result = DC_OK;
    return {std::span<const uint8_t>(rawImage, static_cast<size_t>(width) * static_cast<size_t>(height)), width,
            height};
}

}  // namespace dactis
