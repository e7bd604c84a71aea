// Turns a 440 x 360 frame into the library's 352 x 288 image: 4 pixels in 5 are picked
// in each direction, and the image is mirrored left to right (the sensor sees the finger
// from below).
#pragma once

#include <cstdint>
#include <span>

#include "capture/image_geometry.h"

namespace kestrix {

// Image pixel (r, c) is frame pixel (10r/8, 10(351 - c)/8). The frame holds at least
// kFrameSize bytes, the image kImageSize.
void ScaleAndMirror(std::span<const uint8_t> frame, std::span<uint8_t, kImageSize> image);

}  // namespace kestrix
