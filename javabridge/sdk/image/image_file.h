// Grey images in files: saving in the SDK's three formats, and reading whichever of them
// a file holds.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "fpsynth/image_files.h"

namespace dactis {

// DC_OK, DC_ERROR_INVALID_FORMAT or DC_ERROR_FILE.
int SaveGreyImage(const fpsynth::GreyImage& image, const std::string& path, int format);

// BMP by its signature, else PNG or PGM; sides up to DC_MAX_IMAGE_SIDE.
fpsynth::DecodedImage DecodeImageFile(std::span<const uint8_t> bytes);

struct LoadedImage {
    int result = 0;  // DC_OK, DC_ERROR_FILE or DC_ERROR_FILE_FORMAT
    fpsynth::GreyImage image;
};

LoadedImage LoadGreyImage(const std::string& path);

}  // namespace dactis
