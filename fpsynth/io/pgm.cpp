#include "io/pgm.h"

#include <algorithm>
#include <string>

#include "io/png.h"

namespace fpsynth {
namespace {

bool IsSpace(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

DecodedImage Refuse(std::string why)
{
    return DecodedImage{std::nullopt, "PGM: " + std::move(why)};
}

// Reads a header number after blanks and comments; -1 when there is none or it is huge.
int64_t ReadNumber(std::span<const uint8_t> bytes, size_t& pos)
{
    for (;;) {
        while (pos < bytes.size() && IsSpace(bytes[pos])) {
            ++pos;
        }
        if (pos < bytes.size() && bytes[pos] == '#') {
            while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != '\r') {
                ++pos;
            }
            continue;
        }
        break;
    }
    int64_t value = -1;
    while (pos < bytes.size() && bytes[pos] >= '0' && bytes[pos] <= '9') {
        value = (value < 0 ? 0 : value) * 10 + (bytes[pos] - '0');
        if (value > 1000000) {
            return -1;
        }
        ++pos;
    }
    return value;
}

}  // namespace

std::vector<uint8_t> EncodePgm(const GreyImage& image)
{
    const std::string header = "P5\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    std::vector<uint8_t> out(header.begin(), header.end());
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
    return out;
}

DecodedImage DecodePgm(std::span<const uint8_t> bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '5') {
        return Refuse("not a binary PGM (P5)");
    }
    size_t pos = 2;
    const int64_t width = ReadNumber(bytes, pos);
    const int64_t height = ReadNumber(bytes, pos);
    const int64_t maximum = ReadNumber(bytes, pos);
    if (width <= 0 || height <= 0 || width > kMaximumSide || height > kMaximumSide || width * height > kMaximumPixels) {
        return Refuse("image size missing or out of range");
    }
    if (maximum != 255) {
        return Refuse("only a maximum grey value of 255 is read");
    }
    if (pos >= bytes.size() || !IsSpace(bytes[pos])) {
        return Refuse("no blank after the header");
    }
    ++pos;
    const size_t size = static_cast<size_t>(width * height);
    if (bytes.size() - pos != size) {
        return Refuse("pixel data is " + std::to_string(bytes.size() - pos) + " bytes, expected " +
                      std::to_string(size));
    }
    GreyImage image(static_cast<int>(width), static_cast<int>(height));
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(pos), bytes.end(), image.pixels.begin());
    return DecodedImage{std::move(image), {}};
}

}  // namespace fpsynth
