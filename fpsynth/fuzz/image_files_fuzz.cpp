// Any bytes given to the image reader are read or refused; what is read encodes and reads
// back to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "fpsynth/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fpsynth::DecodedImage decoded = fpsynth::DecodeImage(std::span<const uint8_t>(data, size));
    if (!decoded.image) {
        if (decoded.error.empty()) {
            std::abort();
        }
        return 0;
    }
    const fpsynth::GreyImage& image = *decoded.image;
    if (image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        std::abort();
    }
    for (const fpsynth::ImageFormat format : {fpsynth::ImageFormat::Png, fpsynth::ImageFormat::Pgm}) {
        const fpsynth::DecodedImage again = fpsynth::DecodeImage(fpsynth::EncodeImage(image, format));
        if (!again.image || again.image->pixels != image.pixels) {
            std::abort();
        }
    }
    return 0;
}
