// Grey images in files: PNG (8-bit grey, written with zlib) and binary PGM (P5).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fpsynth/fingerprint.h"

namespace fpsynth {

enum class ImageFormat { Png, Pgm };

std::vector<uint8_t> EncodeImage(const GreyImage& image, ImageFormat format);

struct DecodedImage {
    std::optional<GreyImage> image;  // empty when the bytes were refused
    std::string error;               // why, when refused
};

// Reads either format, told apart by its signature. Accepted: PNG of 8-bit grey without
// interlacing (any filters, any chunking, checked CRCs), P5 PGM with a maximum of 255.
// Images over 16384 pixels a side or 64 megapixels are refused, as is anything malformed.
DecodedImage DecodeImage(std::span<const uint8_t> bytes);

// The format follows the file's extension (".pgm" gives PGM, anything else PNG).
// False when the file cannot be written.
bool SaveImage(const std::string& path, const GreyImage& image);

}  // namespace fpsynth
