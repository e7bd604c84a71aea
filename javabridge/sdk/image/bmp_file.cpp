#include "image/bmp_file.h"

#include <array>
#include <cstdlib>

#include "core/byte_order.h"
#include "screen/bitmaps.h"

namespace dactis {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;  // BI_RGB
constexpr uint32_t kBitfields = 3;     // BI_BITFIELDS, accepted for 24-bit files where it changes nothing

fpsynth::DecodedImage Refuse(const char* why)
{
    fpsynth::DecodedImage result;
    result.error = why;
    return result;
}

// ITU-R BT.601 luma, rounded.
uint8_t Grey(uint8_t blue, uint8_t green, uint8_t red)
{
    return static_cast<uint8_t>((299u * red + 587u * green + 114u * blue + 500u) / 1000u);
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const fpsynth::GreyImage& image)
{
    const size_t paletteSize = 256 * 4;
    const size_t dataOffset = kFileHeaderSize + kInfoHeaderSize + paletteSize;
    const size_t rowBytes = static_cast<size_t>(BitmapWidthBytes(image.width, 8));
    const size_t dataSize = rowBytes * static_cast<size_t>(image.height);
    std::vector<uint8_t> file(dataOffset + dataSize, 0);
    std::span<uint8_t> bytes(file);
    bytes[0] = 'B';
    bytes[1] = 'M';
    StoreLE32(bytes, 2, static_cast<uint32_t>(file.size()));
    StoreLE32(bytes, 10, static_cast<uint32_t>(dataOffset));
    StoreLE32(bytes, 14, kInfoHeaderSize);
    StoreLE32(bytes, 18, static_cast<uint32_t>(image.width));
    StoreLE32(bytes, 22, static_cast<uint32_t>(image.height));  // positive: bottom-up rows
    StoreLE16(bytes, 26, 1);
    StoreLE16(bytes, 28, 8);
    StoreLE32(bytes, 30, kUncompressed);
    StoreLE32(bytes, 34, static_cast<uint32_t>(dataSize));
    StoreLE32(bytes, 46, 256);
    for (size_t v = 0; v < 256; ++v) {
        const size_t entry = kFileHeaderSize + kInfoHeaderSize + 4 * v;
        bytes[entry] = bytes[entry + 1] = bytes[entry + 2] = static_cast<uint8_t>(v);
    }
    for (int y = 0; y < image.height; ++y) {
        const size_t row = dataOffset + rowBytes * static_cast<size_t>(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            bytes[row + static_cast<size_t>(x)] = image.at(x, y);
        }
    }
    return file;
}

fpsynth::DecodedImage DecodeBmp(std::span<const uint8_t> bytes, int maxSide)
{
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        return Refuse("not a BMP file");
    }
    const uint32_t dataOffset = LoadLE32(bytes, 10);
    const uint32_t headerSize = LoadLE32(bytes, 14);
    if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124) {
        return Refuse("unsupported BMP header version");
    }
    if (bytes.size() < kFileHeaderSize + headerSize) {
        return Refuse("truncated BMP header");
    }
    const auto width = static_cast<int32_t>(LoadLE32(bytes, 18));
    const auto rawHeight = static_cast<int32_t>(LoadLE32(bytes, 22));
    const uint16_t planes = LoadLE16(bytes, 26);
    const uint16_t bitsPerPixel = LoadLE16(bytes, 28);
    const uint32_t compression = LoadLE32(bytes, 30);
    const uint32_t coloursUsed = LoadLE32(bytes, 46);
    if (planes != 1) {
        return Refuse("BMP with more than one plane");
    }
    if (bitsPerPixel != 8 && bitsPerPixel != 24) {
        return Refuse("BMP depth other than 8 or 24 bits");
    }
    if (compression != kUncompressed && !(compression == kBitfields && bitsPerPixel == 24)) {
        return Refuse("compressed BMP");
    }
    // INT32_MIN has no positive counterpart; it is out of range anyway.
    if (width < 1 || width > maxSide || rawHeight == 0 || rawHeight < -maxSide || rawHeight > maxSide) {
        return Refuse("BMP size out of range");
    }
    const bool topDown = rawHeight < 0;
    const int height = std::abs(rawHeight);

    std::array<uint8_t, 256> palette{};
    size_t paletteEntries = 0;
    if (bitsPerPixel == 8) {
        paletteEntries = coloursUsed == 0 ? 256 : coloursUsed;
        if (paletteEntries > 256) {
            return Refuse("BMP palette larger than 256 colours");
        }
        const size_t paletteStart = kFileHeaderSize + headerSize;
        if (paletteStart + 4 * paletteEntries > bytes.size() || paletteStart + 4 * paletteEntries > dataOffset) {
            return Refuse("BMP palette outside the file");
        }
        for (size_t i = 0; i < paletteEntries; ++i) {
            const size_t entry = paletteStart + 4 * i;
            palette[i] = Grey(bytes[entry], bytes[entry + 1], bytes[entry + 2]);
        }
    }

    const auto rowBytes = static_cast<size_t>(BitmapWidthBytes(width, bitsPerPixel));
    const size_t pixelBytes = static_cast<size_t>(width) * (bitsPerPixel / 8);
    // The last row need not carry its padding.
    if (dataOffset < kFileHeaderSize + headerSize || dataOffset > bytes.size() ||
        bytes.size() - dataOffset < rowBytes * static_cast<size_t>(height - 1) + pixelBytes) {
        return Refuse("BMP pixels outside the file");
    }

    fpsynth::GreyImage image(width, height);
    for (int y = 0; y < height; ++y) {
        const size_t storedRow = static_cast<size_t>(topDown ? y : height - 1 - y);
        const size_t row = dataOffset + storedRow * rowBytes;
        for (int x = 0; x < width; ++x) {
            if (bitsPerPixel == 8) {
                const uint8_t index = bytes[row + static_cast<size_t>(x)];
                if (index >= paletteEntries) {
                    return Refuse("BMP pixel outside the palette");
                }
                image.at(x, y) = palette[index];
            } else {
                const size_t p = row + 3 * static_cast<size_t>(x);
                image.at(x, y) = Grey(bytes[p], bytes[p + 1], bytes[p + 2]);
            }
        }
    }
    fpsynth::DecodedImage result;
    result.image = std::move(image);
    return result;
}

}  // namespace dactis
