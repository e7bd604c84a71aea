#include "tools/pgm_file.h"

#include "interface/geometry.h"

namespace fenrax::tools {
namespace {

bool IsBlank(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    // The next decimal number after blanks and comments; -1 when there is none, -2 when it
    // has more digits than any field may.
    int64_t Number()
    {
        SkipBlanksAndComments();
        int64_t value = -1;
        int digits = 0;
        while (pos_ < bytes_.size() && bytes_[pos_] >= '0' && bytes_[pos_] <= '9') {
            if (++digits > 9) {
                return -2;
            }
            value = (value < 0 ? 0 : value * 10) + (bytes_[pos_] - '0');
            ++pos_;
        }
        return value;
    }

    // The single blank that ends a header.
    bool HeaderEnd()
    {
        if (pos_ >= bytes_.size() || !IsBlank(bytes_[pos_])) {
            return false;
        }
        ++pos_;
        return true;
    }

    size_t Position() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }

private:
    void SkipBlanksAndComments()
    {
        while (pos_ < bytes_.size()) {
            if (IsBlank(bytes_[pos_])) {
                ++pos_;
            } else if (bytes_[pos_] == '#') {
                while (pos_ < bytes_.size() && bytes_[pos_] != '\n' && bytes_[pos_] != '\r') {
                    ++pos_;
                }
            } else {
                break;
            }
        }
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

PgmReading Refuse(std::string why)
{
    return PgmReading{std::nullopt, "not a usable PGM image: " + std::move(why)};
}

uint8_t Scale(int64_t level, int64_t maximum)
{
    return static_cast<uint8_t>((level * 255 + maximum / 2) / maximum);
}

}  // namespace

PgmReading ReadPgm(std::span<const uint8_t> bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '2')) {
        return Refuse("no P5 or P2 signature");
    }
    const bool plain = bytes[1] == '2';
    Reader reader(bytes.subspan(2));
    const int64_t width = reader.Number();
    const int64_t height = reader.Number();
    const int64_t maximum = reader.Number();
    if (width < 0 || height < 0 || maximum < 0) {
        return Refuse("header incomplete or malformed");
    }
    if (width < 1 || height < 1 || width > kMaximumRawSide || height > kMaximumRawSide) {
        return Refuse("size " + std::to_string(width) + " x " + std::to_string(height) + " outside 1 to " +
                      std::to_string(kMaximumRawSide) + " pixels a side");
    }
    if (maximum < 1 || maximum > 255) {
        return Refuse(maximum > 255 ? "16-bit grey levels (maximum " + std::to_string(maximum) + ") are not supported"
                                    : "maximum grey value 0");
    }
    if (!reader.HeaderEnd()) {
        return Refuse("no blank after the header");
    }
    PgmImage image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (!plain) {
        if (reader.Remaining() < count) {
            return Refuse("pixel data is " + std::to_string(reader.Remaining()) + " bytes, expected " +
                          std::to_string(count));
        }
        const auto raster = bytes.subspan(2 + reader.Position(), count);
        image.pixels.reserve(count);
        for (const uint8_t level : raster) {
            if (level > maximum) {
                return Refuse("grey level above the maximum " + std::to_string(maximum));
            }
            image.pixels.push_back(Scale(level, maximum));
        }
        return PgmReading{std::move(image), {}};
    }
    // A plain image needs at least two bytes a pixel; checking first bounds the memory.
    if (reader.Remaining() < 2 * count - 1) {
        return Refuse("fewer grey levels than pixels");
    }
    image.pixels.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const int64_t level = reader.Number();
        if (level < 0) {
            return Refuse("grey level " + std::to_string(i + 1) + " of " + std::to_string(count) +
                          " missing or malformed");
        }
        if (level > maximum) {
            return Refuse("grey level above the maximum " + std::to_string(maximum));
        }
        image.pixels.push_back(Scale(level, maximum));
    }
    return PgmReading{std::move(image), {}};
}

}  // namespace fenrax::tools
