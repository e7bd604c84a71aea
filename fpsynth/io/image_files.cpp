#include "fpsynth/image_files.h"

#include <fstream>

#include "io/pgm.h"
#include "io/png.h"

namespace fpsynth {

std::vector<uint8_t> EncodeImage(const GreyImage& image, ImageFormat format)
{
    return format == ImageFormat::Png ? EncodePng(image) : EncodePgm(image);
}

DecodedImage DecodeImage(std::span<const uint8_t> bytes)
{
    if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == '5') {
        return DecodePgm(bytes);
    }
    return DecodePng(bytes);
}

bool SaveImage(const std::string& path, const GreyImage& image)
{
    const bool pgm = path.size() >= 4 && path.compare(path.size() - 4, 4, ".pgm") == 0;
    const std::vector<uint8_t> bytes = EncodeImage(image, pgm ? ImageFormat::Pgm : ImageFormat::Png);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace fpsynth
