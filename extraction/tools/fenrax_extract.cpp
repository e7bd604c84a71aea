// fenrax-extract: runs the extractor on a PGM image the way a host program does, writes
// the encrypted template, and on request the debug dumps and a picture of the block maps.
//
//   fenrax-extract [--short] [--debug] [--maps PICTURE.png] IMAGE.pgm TEMPLATE
//
// Exit codes: 0 done, 1 a file could not be read or written or the image was refused,
// 2 a usage mistake.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "fenrax/fenrax.h"
#include "interface/extraction_pipeline.h"
#include "tools/maps_picture.h"
#include "tools/pgm_file.h"
#include "tools/png_file.h"

namespace {

constexpr std::streamsize kLargestInput = 1LL << 30;

constexpr const char* kUsage =
    "usage: fenrax-extract [--short] [--debug] [--maps PICTURE.png] IMAGE.pgm TEMPLATE\n"
    "  IMAGE.pgm           8-bit grey image (P5 or P2), dark ridges on a light background\n"
    "  TEMPLATE            file that receives the encrypted template\n"
    "  --short             256-byte template (at most 62 minutiae) instead of 400 bytes (92)\n"
    "  --debug             also write the intermediate images (enh.raw, dir.dat, ...) into\n"
    "                      the current folder\n"
    "  --maps PICTURE.png  draw the direction and period maps over the image\n";

struct Options {
    bool shortTemplate = false;
    bool debug = false;
    std::string picture;
    std::string image;
    std::string templateFile;
};

std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options options;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--short") {
            options.shortTemplate = true;
        } else if (argument == "--debug") {
            options.debug = true;
        } else if (argument == "--maps" && i + 1 < argc) {
            options.picture = argv[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            return std::nullopt;
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != 2) {
        return std::nullopt;
    }
    options.image = files[0];
    options.templateFile = files[1];
    return options;
}

int Fail(const std::string& message)
{
    std::cerr << "fenrax-extract: " << message << "\n";
    return 1;
}

std::optional<std::vector<uint8_t>> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return std::nullopt;
    }
    const std::streamsize size = in.tellg();
    if (size < 0 || size > kLargestInput) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        return std::nullopt;
    }
    return bytes;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

// The maps as FPD_Process builds them, from the same stages on buffers of our own.
std::vector<uint8_t> MapsPicture(const fenrax::tools::PgmImage& image)
{
    const fenrax::Geometry geometry = *fenrax::MakeGeometry(image.width, image.height);
    std::vector<uint8_t> working = fenrax::PlaceRawImage(geometry, image.pixels.data());
    const std::vector<uint8_t> original = working;
    std::vector<uint8_t> directions(geometry.Blocks());
    std::vector<uint8_t> periods(geometry.Blocks());
    fenrax::NoDumps noDumps;
    fenrax::EnhanceAndMap(working, geometry, directions, periods, noDumps);
    return fenrax::tools::EncodePng(fenrax::tools::DrawMapsPicture(geometry, original, directions, periods));
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    const std::optional<std::vector<uint8_t>> bytes = ReadFile(options->image);
    if (!bytes) {
        return Fail("cannot read '" + options->image + "'");
    }
    const fenrax::tools::PgmReading reading = fenrax::tools::ReadPgm(*bytes);
    if (!reading.image) {
        return Fail(options->image + ": " + reading.error);
    }
    const fenrax::tools::PgmImage& image = *reading.image;

    const int32_t templateSize = options->shortTemplate ? 256 : 400;
    if (FPD_initGlobal(image.width, image.height, 0, templateSize) != FENRAX_OK) {
        return Fail("the extractor cannot work on a " + std::to_string(image.width) + " x " +
                    std::to_string(image.height) + " image");
    }
    std::vector<uint8_t> encrypted(static_cast<size_t>(templateSize));
    const int32_t result = FPD_Process(image.pixels.data(), encrypted.data(), options->debug ? 1 : 0);
    FPD_freeGlobalMem();
    if (result != FENRAX_OK) {
        return Fail("extraction failed with result " + std::to_string(result));
    }
    if (!WriteFile(options->templateFile, encrypted)) {
        return Fail("cannot write '" + options->templateFile + "'");
    }
    if (!options->picture.empty()) {
        const std::vector<uint8_t> png = MapsPicture(image);
        if (png.empty() || !WriteFile(options->picture, png)) {
            return Fail("cannot write '" + options->picture + "'");
        }
    }
    return 0;
}
