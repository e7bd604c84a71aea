// PGM images as fenrax-extract reads them: binary (P5) or plain (P2) grey, 8 bits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fenrax::tools {

struct PgmImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;  // row-major, top row first
};

struct PgmReading {
    std::optional<PgmImage> image;  // empty when refused
    std::string error;              // why, when refused
};

// Accepts P5 and P2 with a maximum grey value of 1 to 255 (levels are scaled to 0..255),
// comments in the header, sides of 1 to 16384 pixels. A file holding several images gives
// the first. Refuses anything else, 16-bit images among them, with the reason.
PgmReading ReadPgm(std::span<const uint8_t> bytes);

}  // namespace fenrax::tools
