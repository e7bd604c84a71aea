// A reader that answers every request from the fuzzer's bytes: requests fail or succeed,
// reads return any count (more than asked for too) with any content. Opening, closing,
// capturing and reading the key must refuse what is malformed and stay within bounds;
// a capture that returns -1 leaves the caller's image as it was, and the exposure state
// stays inside its tables.
//
// Bytes: each step takes one byte for the operation (open, close, capture, key, reset),
// and the device takes bytes as it answers: one per open attempt (odd opens), one per
// request (bit 7 fails it, bit 6 makes a read return all it was asked for, otherwise
// two more bytes give the count), one for the content of a read, one per close.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "capture/capture.h"
#include "capture/gain_tables.h"
#include "device/io_control.h"
#include "device/reader_connection.h"

namespace {

void Check(bool ok, const char* rule)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz rule broken: %s\n", rule);
        std::abort();
    }
}

class FuzzedDevice final : public kestrix::DeviceLayer {
public:
    explicit FuzzedDevice(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint8_t Next() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    bool Exhausted() const { return at_ >= bytes_.size(); }

    kestrix::DeviceHandle Open(const std::string&) override
    {
        ++opens;
        if (open_ || (Next() & 1) == 0) {
            return kestrix::kNoDevice;
        }
        open_ = true;
        return 7;
    }

    bool IoControl(kestrix::DeviceHandle device, uint32_t code, std::span<const uint8_t> input,
                   std::span<uint8_t> output, uint32_t& returned) override
    {
        Check(device == 7 && open_, "requests go to the open device only");
        Check(code == kestrix::kWritePipeRequest || code == kestrix::kReadPipeRequest ||
                  code == kestrix::kResetPipeRequest,
              "only the three requests are sent");
        if (code == kestrix::kReadPipeRequest) {
            ++reads;
            Check(input.size() == 4, "a read names its pipe");
        }
        const uint8_t how = Next();
        if (how & 0x80) {
            returned = static_cast<uint32_t>(Next());  // garbage the library must ignore
            return false;
        }
        if (code != kestrix::kReadPipeRequest) {
            returned = 0;
            return true;
        }
        uint32_t count = static_cast<uint32_t>(output.size());
        if ((how & 0x40) == 0) {
            count = static_cast<uint32_t>(Next()) | static_cast<uint32_t>(Next()) << 8;
        }
        const uint8_t content = Next();
        std::fill_n(output.begin(), std::min<size_t>(count, output.size()), content);
        returned = count;
        return true;
    }

    bool Close(kestrix::DeviceHandle device) override
    {
        Check(device == 7 && open_, "only the open device is closed");
        open_ = false;
        return (Next() & 1) == 0;
    }

    int opens = 0;
    int reads = 0;

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
    bool open_ = false;
};

void CheckExposure(const kestrix::ExposureState& e)
{
    Check(e.gainIndex >= 0 && e.gainIndex <= kestrix::kMaxGainIndex, "gain index within the table");
    Check(e.table == &kestrix::kGainTableA || e.table == &kestrix::kGainTableB, "a known gain table");
    Check(e.gainByte == (*e.table)[static_cast<size_t>(e.gainIndex)], "gain byte from the table");
    Check(e.tries >= 0 && e.tries <= kestrix::kGiveUpTries, "tries bounded");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDevice device(std::span<const uint8_t>(data, size));
    kestrix::ReaderConnection reader(device);
    std::vector<uint8_t> image(kestrix::kImageSize, 0x5A);
    for (int step = 0; step < 24 && !device.Exhausted(); ++step) {
        const int opensBefore = device.opens;
        const int readsBefore = device.reads;
        switch (device.Next() % 5) {
            case 0:
                reader.Open();
                Check(device.opens - opensBefore <= 600, "at most 600 open attempts");
                break;
            case 1:
                reader.Close();
                break;
            case 2: {
                const std::vector<uint8_t> before = image;
                const int result =
                    kestrix::CaptureImage(reader, std::span<uint8_t, kestrix::kImageSize>(image.data(), image.size()));
                Check(result >= -1 && result <= 3, "a capture result");
                Check(result != -1 || image == before, "no frame leaves the image untouched");
                // Reads of one transfer, plus the mode read of a resynchronising reopen.
                Check(device.reads - readsBefore <= 38 + 1, "at most 38 frame reads");
                break;
            }
            case 3: {
                std::array<uint8_t, kestrix::kKeySize> key{};
                reader.ReadKey(key);
                break;
            }
            default:
                reader.ResetPipe();
                break;
        }
        Check(reader.ModeByte() >= 0 && reader.ModeByte() <= 255, "mode byte is a byte");
        CheckExposure(reader.Exposure());
    }
    return 0;
}
