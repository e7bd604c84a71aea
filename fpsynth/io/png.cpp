#include "io/png.h"

#include <zlib.h>

#include <cstring>
#include <limits>

namespace fpsynth {
namespace {

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

uint32_t GetBigEndian32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const uint8_t* data, size_t size)
{
    PutBigEndian32(out, static_cast<uint32_t>(size));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (size > 0) {
        out.insert(out.end(), data, data + size);
    }
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(4 + size));
    PutBigEndian32(out, static_cast<uint32_t>(crc));
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = p > a ? p - a : a - p;
    const int pb = p > b ? p - b : b - p;
    const int pc = p > c ? p - c : c - p;
    if (pa <= pb && pa <= pc) {
        return a;
    }
    return pb <= pc ? b : c;
}

// The value a row filter predicts a byte from: its left, upper and upper-left neighbours.
int Predictor(int type, int left, int up, int upLeft)
{
    switch (type) {
        case 1:
            return left;
        case 2:
            return up;
        case 3:
            return (left + up) / 2;
        case 4:
            return Paeth(left, up, upLeft);
        default:
            return 0;
    }
}

// Filters one row with the given type; a is the row, b the one above (zeros for the first).
void FilterRow(int type, const uint8_t* row, const uint8_t* above, size_t width, uint8_t* out)
{
    for (size_t x = 0; x < width; ++x) {
        const int left = x > 0 ? row[x - 1] : 0;
        const int up = above[x];
        const int upLeft = x > 0 ? above[x - 1] : 0;
        out[x] = static_cast<uint8_t>(row[x] - Predictor(type, left, up, upLeft));
    }
}

DecodedImage Refuse(std::string why)
{
    return DecodedImage{std::nullopt, "PNG: " + std::move(why)};
}

}  // namespace

std::vector<uint8_t> EncodePng(const GreyImage& image)
{
    const size_t width = static_cast<size_t>(image.width);
    const size_t height = static_cast<size_t>(image.height);
    // Each row takes the filter whose output has the smallest sum of magnitudes.
    std::vector<uint8_t> filtered((width + 1) * height);
    const std::vector<uint8_t> zeros(width, 0);
    std::vector<uint8_t> trial(width);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* row = image.pixels.data() + y * width;
        const uint8_t* above = y > 0 ? row - width : zeros.data();
        uint8_t* out = filtered.data() + y * (width + 1);
        uint64_t bestCost = std::numeric_limits<uint64_t>::max();
        for (int type = 0; type <= 4; ++type) {
            FilterRow(type, row, above, width, trial.data());
            uint64_t cost = 0;
            for (const uint8_t v : trial) {
                cost += v < 128 ? v : 256u - v;
            }
            if (cost < bestCost) {
                bestCost = cost;
                out[0] = static_cast<uint8_t>(type);
                std::memcpy(out + 1, trial.data(), width);
            }
        }
    }
    uLongf compressedSize = compressBound(static_cast<uLong>(filtered.size()));
    std::vector<uint8_t> compressed(compressedSize);
    compress2(compressed.data(), &compressedSize, filtered.data(), static_cast<uLong>(filtered.size()), 6);
    compressed.resize(compressedSize);

    std::vector<uint8_t> out(kPngSignature, kPngSignature + 8);
    std::vector<uint8_t> header;
    PutBigEndian32(header, static_cast<uint32_t>(image.width));
    PutBigEndian32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 0, 0, 0, 0});  // 8 bits, grey, deflate, adaptive filters, no interlace
    PutChunk(out, "IHDR", header.data(), header.size());
    PutChunk(out, "IDAT", compressed.data(), compressed.size());
    PutChunk(out, "IEND", nullptr, 0);
    return out;
}

DecodedImage DecodePng(std::span<const uint8_t> bytes)
{
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kPngSignature, 8) != 0) {
        return Refuse("no PNG signature");
    }
    size_t pos = 8;
    bool haveHeader = false;
    bool ended = false;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> compressed;
    while (!ended) {
        if (bytes.size() - pos < 12) {
            return Refuse("truncated chunk");
        }
        const uint32_t length = GetBigEndian32(bytes.data() + pos);
        if (length > 0x7FFFFFFFu || length > bytes.size() - pos - 12) {
            return Refuse("chunk longer than the file");
        }
        const uint8_t* type = bytes.data() + pos + 4;
        const uint8_t* data = type + 4;
        const uint32_t storedCrc = GetBigEndian32(data + length);
        uLong crc = crc32(0L, Z_NULL, 0);
        crc = crc32(crc, type, static_cast<uInt>(length + 4));
        if (static_cast<uint32_t>(crc) != storedCrc) {
            return Refuse("chunk CRC mismatch");
        }
        pos += 12 + static_cast<size_t>(length);
        const std::string name(reinterpret_cast<const char*>(type), 4);
        if (!haveHeader && name != "IHDR") {
            return Refuse("IHDR is not the first chunk");
        }
        if (name == "IHDR") {
            if (haveHeader || length != 13) {
                return Refuse("bad IHDR");
            }
            width = GetBigEndian32(data);
            height = GetBigEndian32(data + 4);
            if (data[8] != 8 || data[9] != 0) {
                return Refuse("only 8-bit grey images are read");
            }
            if (data[10] != 0 || data[11] != 0 || data[12] != 0) {
                return Refuse("unknown compression or filter method, or interlaced");
            }
            if (width == 0 || height == 0 || width > kMaximumSide || height > kMaximumSide ||
                static_cast<int64_t>(width) * height > kMaximumPixels) {
                return Refuse("image size out of range");
            }
            haveHeader = true;
        } else if (name == "IDAT") {
            compressed.insert(compressed.end(), data, data + length);
        } else if (name == "IEND") {
            ended = true;
        } else if ((type[0] & 0x20) == 0) {
            return Refuse("unknown critical chunk " + name);
        }
    }
    if (compressed.size() > 0xFFFFFFFFu) {
        return Refuse("image data too large");
    }
    const size_t rowBytes = static_cast<size_t>(width) + 1;
    std::vector<uint8_t> filtered(rowBytes * height);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return Refuse("cannot start inflating");
    }
    stream.next_in = compressed.data();
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = filtered.data();
    stream.avail_out = static_cast<uInt>(filtered.size());
    const int status = inflate(&stream, Z_FINISH);
    const bool complete = status == Z_STREAM_END && stream.avail_out == 0 && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!complete) {
        return Refuse("image data does not inflate to exactly the image size");
    }
    GreyImage image(static_cast<int>(width), static_cast<int>(height));
    const std::vector<uint8_t> zeros(width, 0);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t type = filtered[y * rowBytes];
        const uint8_t* in = filtered.data() + y * rowBytes + 1;
        uint8_t* row = image.pixels.data() + y * width;
        const uint8_t* above = y > 0 ? row - width : zeros.data();
        if (type > 4) {
            return Refuse("unknown row filter");
        }
        for (size_t x = 0; x < width; ++x) {
            const int left = x > 0 ? row[x - 1] : 0;
            const int up = above[x];
            const int upLeft = x > 0 ? above[x - 1] : 0;
            row[x] = static_cast<uint8_t>(in[x] + Predictor(type, left, up, upLeft));
        }
    }
    return DecodedImage{std::move(image), {}};
}

}  // namespace fpsynth
