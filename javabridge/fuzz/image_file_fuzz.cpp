// Image files as DcCapLoadImageFromFile reads them: any bytes are either refused with a
// reason or give an image within the SDK's limits, which the BMP writer and reader carry
// through unchanged.
#include <cstddef>
#include <cstdint>
#include <span>

#include "dactis/dactis.h"
#include "fuzz_check.h"
#include "image/bmp_file.h"
#include "image/image_file.h"

using dactis::fuzzing::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fpsynth::DecodedImage decoded = dactis::DecodeImageFile(std::span<const uint8_t>(data, size));
    if (!decoded.image) {
        Check(!decoded.error.empty(), "a refused file has a reason");
        return 0;
    }
    const fpsynth::GreyImage& image = *decoded.image;
    Check(
        image.width >= 1 && image.height >= 1 && image.width <= DC_MAX_IMAGE_SIDE && image.height <= DC_MAX_IMAGE_SIDE,
        "image sides within the SDK's limits");
    Check(image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
          "one byte a pixel");
    const fpsynth::DecodedImage again = dactis::DecodeBmp(dactis::EncodeBmp(image), DC_MAX_IMAGE_SIDE);
    Check(again.image && again.image->pixels == image.pixels, "the BMP writer and reader keep the image");
    return 0;
}
