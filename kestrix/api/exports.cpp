// The exported C entry points. Each one catches whatever the work below may throw and
// answers with its failure result instead: nothing crosses the library's boundary.
#include <array>
#include <span>

#include "api/library_state.h"
#include "api/sdk_version.h"
#include "capture/capture.h"
#include "capture/image_geometry.h"
#include "device/little_endian.h"
#include "kestrix/kestrix.h"

namespace kestrix {
namespace {

// Opens the reader for one short exchange; the reader is closed again afterwards, even
// when the open failed half-way with the device object held.
template <typename Exchange>
auto WithReaderOpen(Exchange exchange)
{
    ReaderConnection& reader = Library().reader;
    const bool opened = reader.Open();
    const auto result = exchange(reader, opened);
    if (reader.IsOpen()) {
        reader.Close();
    }
    return result;
}

int ModeOfReader()
{
    return WithReaderOpen([](ReaderConnection& reader, bool) { return static_cast<int>(reader.ModeByte()); });
}

int KeyOfReader()
{
    Library().reader.Close();
    return WithReaderOpen([](ReaderConnection& reader, bool opened) {
        std::array<uint8_t, kKeySize> key{};
        if (!opened || !reader.ReadKey(key)) {
            return 0;
        }
        // The first byte received is the least significant.
        return static_cast<int>(LoadLe32(key.data()));
    });
}

}  // namespace
}  // namespace kestrix

using kestrix::Library;

extern "C" {

KESTRIX_API short GetImgWidth(void)
{
    return kestrix::kImageWidth;
}

KESTRIX_API short GetImgHeight(void)
{
    return kestrix::kImageHeight;
}

KESTRIX_API int GetImgSize(void)
{
    return static_cast<int>(kestrix::kImageSize);
}

KESTRIX_API short GetFeatSize(void)
{
    return kestrix::kFeatureRecordSize;
}

KESTRIX_API int OpenTarnetDevice(void)
{
    try {
        return Library().reader.Open() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

KESTRIX_API int CloseTarnetDevice(void)
{
    try {
        return Library().reader.Close() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

KESTRIX_API int GetDeviceStatus(void)
{
    try {
        return kestrix::WithReaderOpen([](kestrix::ReaderConnection&, bool opened) { return opened ? 1 : 0; });
    } catch (...) {
        return 0;
    }
}

KESTRIX_API int IsOperatingUsbMode(void)
{
    try {
        return kestrix::ModeOfReader();
    } catch (...) {
        return 0;
    }
}

KESTRIX_API short IsOperatingClockMode(void)
{
    return 0;
}

KESTRIX_API short IsOperatingELVoltageMode(void)
{
    return IsOperatingClockMode();
}

KESTRIX_API int GetUSBKey(void)
{
    try {
        return kestrix::KeyOfReader();
    } catch (...) {
        return 0;
    }
}

KESTRIX_API int GetTarnetImage(unsigned char* image)
{
    // Without a buffer there is nowhere to put a frame: nothing is asked of the reader.
    if (image == nullptr) {
        return kestrix::kNoFrame;
    }
    try {
        return kestrix::CaptureImage(Library().reader,
                                     std::span<uint8_t, kestrix::kImageSize>(image, kestrix::kImageSize));
    } catch (...) {
        return kestrix::kNoFrame;
    }
}

KESTRIX_API int PutSecurityLevel404vs404(short level)
{
    try {
        return Library().levels.with404.Put(level, kestrix::kThresholds404);
    } catch (...) {
        return 0;
    }
}

KESTRIX_API int PutSecurityLevel404vs9052(short level)
{
    return PutSecurityLevel404vs404(level);
}

KESTRIX_API int PutSecurityLevel9052vs9052(short level)
{
    try {
        return Library().levels.with9052.Put(level, kestrix::kThresholds9052);
    } catch (...) {
        return 0;
    }
}

KESTRIX_API int GetSecurityLevel404vs404(void)
{
    try {
        return Library().levels.with404.level;
    } catch (...) {
        return kestrix::kDefaultSecurityLevel;
    }
}

KESTRIX_API int GetSecurityLevel404vs9052(void)
{
    return GetSecurityLevel404vs404();
}

KESTRIX_API int GetSecurityLevel9052vs9052(void)
{
    try {
        return Library().levels.with9052.level;
    } catch (...) {
        return kestrix::kDefaultSecurityLevel;
    }
}

KESTRIX_API short AlgoInit(void)
{
    try {
        Library().levels.Reset();
    } catch (...) {
    }
    return 1;
}

KESTRIX_API const char* GetSDKVersion(void)
{
    return kestrix::FormatSdkVersion();
}

}  // extern "C"
