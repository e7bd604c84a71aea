// A picture of the block maps over the image, to judge them by eye. Left panel: the image
// with each block's ridge direction as a short red segment. Right panel: each block's
// ridge period as a grey level over the image (black 5 pixels or less, white 15 or more),
// blue where a block has no direction, red where no period was found.
#pragma once

#include <cstdint>
#include <span>

#include "interface/geometry.h"
#include "tools/png_file.h"

namespace fenrax::tools {

// working: the caller's image placed in the working geometry, before enhancement.
RgbImage DrawMapsPicture(const Geometry& geometry, std::span<const uint8_t> working,
                         std::span<const uint8_t> directionMap, std::span<const uint8_t> periodMap);

}  // namespace fenrax::tools
