#include "api/sdk_version.h"

#include <cstdio>

namespace kestrix {
namespace {

constexpr const char* kBuildDate = "040903";
constexpr const char* kAlgorithmName = "Algorithm SDK 3.0, Date : 040903";

constexpr int kVersionBufferSize = 1024;
char captureVersion[kVersionBufferSize];
char algorithmVersion[kVersionBufferSize];
char libraryVersion[kVersionBufferSize];

// Texts longer than the buffer are cut; these never are.
template <typename... Texts>
void Format(char (&buffer)[kVersionBufferSize], const char* format, Texts... texts)
{
    if (std::snprintf(buffer, sizeof buffer, format, texts...) < 0) {
        buffer[0] = '\0';
    }
}

}  // namespace

const char* FormatSdkVersion()
{
    Format(captureVersion, "Cap ver:%s", kBuildDate);
    Format(algorithmVersion, "Algo ver:%s", kAlgorithmName);
    Format(libraryVersion, "DLL ver:%s\n%s\n%s", kBuildDate, captureVersion, algorithmVersion);
    return libraryVersion;
}

}  // namespace kestrix
