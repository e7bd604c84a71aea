#include "image/image_file.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "dactis/dactis.h"
#include "image/bmp_file.h"

namespace dactis {
namespace {

// Far above any fingerprint image the SDK takes (4096 x 4096 x 3 plus headers), small
// enough that a wrong path to a huge file fails quickly.
constexpr std::streamoff kMaxFileSize = 64 << 20;

}  // namespace

int SaveGreyImage(const fpsynth::GreyImage& image, const std::string& path, int format)
{
    std::vector<uint8_t> bytes;
    switch (format) {
        case DC_IMAGE_FORMAT_BMP:
            bytes = EncodeBmp(image);
            break;
        case DC_IMAGE_FORMAT_PNG:
            bytes = fpsynth::EncodeImage(image, fpsynth::ImageFormat::Png);
            break;
        case DC_IMAGE_FORMAT_PGM:
            bytes = fpsynth::EncodeImage(image, fpsynth::ImageFormat::Pgm);
            break;
        default:
            return DC_ERROR_INVALID_FORMAT;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out ? DC_OK : DC_ERROR_FILE;
}

fpsynth::DecodedImage DecodeImageFile(std::span<const uint8_t> bytes)
{
    fpsynth::DecodedImage decoded = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M'
                                        ? DecodeBmp(bytes, DC_MAX_IMAGE_SIDE)
                                        : fpsynth::DecodeImage(bytes);
    if (decoded.image && (decoded.image->width > DC_MAX_IMAGE_SIDE || decoded.image->height > DC_MAX_IMAGE_SIDE)) {
        decoded.image.reset();
        decoded.error = "image larger than the SDK takes";
    }
    return decoded;
}

LoadedImage LoadGreyImage(const std::string& path)
{
    LoadedImage loaded;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        loaded.result = DC_ERROR_FILE;
        return loaded;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxFileSize) {
        loaded.result = size < 0 ? DC_ERROR_FILE : DC_ERROR_FILE_FORMAT;
        return loaded;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) {
        loaded.result = DC_ERROR_FILE;
        return loaded;
    }
    fpsynth::DecodedImage decoded = DecodeImageFile(bytes);
    if (!decoded.image) {
        loaded.result = DC_ERROR_FILE_FORMAT;
        return loaded;
    }
    loaded.result = DC_OK;
    loaded.image = std::move(*decoded.image);
    return loaded;
}

}  // namespace dactis
