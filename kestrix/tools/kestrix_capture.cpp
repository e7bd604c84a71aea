// kestrix-capture: opens the reader (KESTRIX_VIRTUAL_READER=1 for the simulated one),
// captures until the library returns a good or an acceptable image, writes that image as
// a PGM file and prints the result of every capture with the finger area and brightness
// the exposure control judged.
//
//     kestrix-capture [--frames N] OUT.pgm
//
// Exit codes: 0 image written; 1 no reader, no usable image within N captures (default
// 100) or the file could not be written; 2 a usage mistake.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "capture/image_statistics.h"
#include "fpsynth/image_files.h"
#include "kestrix/kestrix.h"

namespace {

const char* Meaning(int result)
{
    switch (result) {
        case -1:
            return "no image";
        case 0:
            return "no finger";
        case 1:
            return "finger, not yet good";
        case 2:
            return "good image";
        case 3:
            return "acceptable image";
        default:
            return "?";
    }
}

int Usage()
{
    std::fprintf(stderr, "usage: kestrix-capture [--frames N] OUT.pgm\n");
    return 2;
}

bool WritePgm(const std::string& path, const std::vector<unsigned char>& pixels)
{
    fpsynth::GreyImage image(GetImgWidth(), GetImgHeight());
    image.pixels.assign(pixels.begin(), pixels.end());
    const std::vector<uint8_t> bytes = fpsynth::EncodeImage(image, fpsynth::ImageFormat::Pgm);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 100;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--frames" && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 1 || value > 100000) {
                return Usage();
            }
            frames = static_cast<int>(value);
        } else if (!argument.empty() && argument[0] != '-' && output.empty()) {
            output = argument;
        } else {
            return Usage();
        }
    }
    if (output.empty()) {
        return Usage();
    }

    std::printf("%s\n", GetSDKVersion());
    if (GetDeviceStatus() == 0) {
        std::fprintf(stderr, "kestrix-capture: no reader found\n");
        return 1;
    }
    const int mode = IsOperatingUsbMode();
    const auto key = static_cast<unsigned>(GetUSBKey());
    std::printf("reader: mode byte %d, key 0x%08X\n", mode, key);
    if (OpenTarnetDevice() == 0) {
        std::fprintf(stderr, "kestrix-capture: the reader does not open\n");
        CloseTarnetDevice();
        return 1;
    }

    std::vector<unsigned char> image(static_cast<size_t>(GetImgSize()));
    std::string results;
    int result = -1;
    for (int frame = 1; frame <= frames && result != 2 && result != 3; ++frame) {
        result = GetTarnetImage(image.data());
        results += (results.empty() ? "" : " ") + std::to_string(result);
        if (result >= 0) {
            const kestrix::ImageStatistics s = kestrix::MeasureImage(image);
            std::printf("frame %d: %d %s (finger area %d, mean brightness %d)\n", frame, result, Meaning(result),
                        s.area, s.mean);
        } else {
            std::printf("frame %d: %d %s\n", frame, result, Meaning(result));
        }
    }
    CloseTarnetDevice();
    std::printf("results: %s\n", results.c_str());

    if (result != 2 && result != 3) {
        std::fprintf(stderr, "kestrix-capture: no usable image in %d captures\n", frames);
        return 1;
    }
    if (!WritePgm(output, image)) {
        std::fprintf(stderr, "kestrix-capture: cannot write '%s'\n", output.c_str());
        return 1;
    }
    std::printf("image written to %s\n", output.c_str());
    return 0;
}
