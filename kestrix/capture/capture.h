// One capture: a frame from the reader becomes the caller's image and is judged.
#pragma once

#include <cstdint>
#include <span>

#include "capture/exposure_rules.h"
#include "capture/image_geometry.h"
#include "device/reader_connection.h"

namespace kestrix {

// The caller's image is written only when a frame arrived (results 0 to 3).
CaptureStatus CaptureImage(ReaderConnection& reader, std::span<uint8_t, kImageSize> image);

}  // namespace kestrix
