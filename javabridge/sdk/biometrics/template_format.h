// The SDK's minutiae template, as applications store it and hand it back:
//
//   offset  size  field
//   0       4     "DCT1"
//   4       2     total size in bytes: 24 + 8 x count
//   6       2     count of minutiae, DC_MIN_MINUTIAE..DC_MAX_MINUTIAE
//   8       2     image width     (the image the minutiae were found in)
//   10      2     image height
//   12      2     resolution, dots per inch
//   14      2     quality, 0..100
//   16      4     reserved, 0
//   20      4     checksum: FNV-1a (32 bits) of bytes 4..19 and of every minutia record
//   24      8 x count minutiae:
//                 x, y (2 each, pixels of the image, inside it),
//                 direction (2, degrees 0..359, from +x towards +y),
//                 type (1: 0 ridge ending, 1 bifurcation), quality (1, 0..100)
//
// Little-endian throughout. The checksum makes a template cut short, padded or damaged
// in storage fail to parse instead of comparing as a different finger.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace dactis {

inline constexpr size_t kTemplateHeaderSize = 24;
inline constexpr size_t kMinutiaRecordSize = 8;

enum class MinutiaKind : uint8_t { Ending = 0, Bifurcation = 1 };

struct TemplateMinutia {
    int x = 0;
    int y = 0;
    int direction = 0;  // degrees, 0..359
    MinutiaKind kind = MinutiaKind::Ending;
    int quality = 0;
};

struct FingerTemplate {
    int width = 0;
    int height = 0;
    int resolution = 0;
    int quality = 0;
    std::vector<TemplateMinutia> minutiae;
};

// The template's bytes; the fields must be in their ranges (the extractor's output is).
std::vector<uint8_t> EncodeTemplate(const FingerTemplate& fingerTemplate);

// Writes the checksum of a template whose size field is right and whose bytes are all
// there (bytes at least as long as it declares).
void SealTemplate(std::span<uint8_t> bytes);

// The bytes of a template the caller hands over without its length: the signature is
// read first, then the size the header declares, then only that many bytes. Empty when
// the signature or the size is not a template's.
std::optional<std::vector<uint8_t>> CallerTemplate(const unsigned char* tpt);

// Empty for anything that is not a whole, undamaged template within the bytes given.
std::optional<FingerTemplate> ParseTemplate(std::span<const uint8_t> bytes);

}  // namespace dactis
