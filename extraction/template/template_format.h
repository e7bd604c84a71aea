// The two template formats and the plain layout of a template: a 32-byte header and 4-byte
// minutia records, before encryption.
//
//   bytes 0-11   0; short template: minutiae 57 to 59
//   byte  13     number of minutiae stored
//   bytes 14-17  rawWidth / 2, rawHeight / 2, 16-bit little-endian
//   byte  19     mark: 0x5C long, 0x3E short
//   bytes 20-31  0; short template: minutiae 60 to 62
//   byte  32 on  minutiae 1 to 92 (long) or 1 to 56 (short)
#pragma once

#include <cstdint>
#include <span>

#include "interface/geometry.h"

namespace fenrax {

inline constexpr int32_t kShortTemplateSize = 256;
inline constexpr int32_t kLongTemplateSize = 400;
inline constexpr int kTemplateHeaderSize = 32;
inline constexpr int kMinutiaRecordSize = 4;

struct TemplateFormat {
    int32_t size = 0;  // bytes, a multiple of the cipher's 8-byte block
    uint8_t mark = 0;
    int32_t maxMinutiae = 0;
};

// 256 selects the short template; any other request the long one of 400 bytes.
TemplateFormat SelectTemplateFormat(int32_t requestedSize);

inline constexpr uint8_t kRidgeEnding = 1;
inline constexpr uint8_t kBifurcation = 0;

// A minutia as the template stores it: direction in units of 360/128 degrees from +x
// towards +y (rows grow downwards), position in pixels from the raw image's centre.
struct MinutiaCandidate {
    int32_t direction = 0;  // 0..127
    uint8_t type = kRidgeEnding;
    int32_t rx = 0;
    int32_t ry = 0;
};

// Writes the plain template into buffer (format.size bytes): every byte not covered by a
// field or a stored record is 0, so a template depends on its image alone. At most
// format.maxMinutiae of the minutiae are stored, in the order given.
void AssembleTemplate(std::span<uint8_t> buffer, const TemplateFormat& format, const Geometry& geometry,
                      std::span<const MinutiaCandidate> minutiae);

// Byte offset of record i (from 0) in the template.
int RecordOffset(const TemplateFormat& format, int i);

}  // namespace fenrax
