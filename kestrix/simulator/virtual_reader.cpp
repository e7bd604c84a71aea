#include "simulator/virtual_reader.h"

#include <algorithm>

#include "device/io_control.h"
#include "device/little_endian.h"
#include "fpsynth/dataset.h"
#include "fpsynth/master.h"

namespace kestrix {
namespace {

// The sensor's black: levels 0 to 10, different in every frame.
uint8_t BlackLevel(uint32_t x, uint32_t y, uint32_t frame)
{
    uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u ^ frame * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return static_cast<uint8_t>(h % 11);
}

}  // namespace

VirtualReader::VirtualReader(VirtualReaderOptions options)
    : options_(options), emptyFramesLeft_(std::max(0, options.emptyFramesBeforeTouch))
{
}

VirtualReader::~VirtualReader() = default;

DeviceHandle VirtualReader::Open(const std::string& name)
{
    // One device object, opened by one holder at a time.
    if (name != kDeviceName || handle_ != kNoDevice) {
        return kNoDevice;
    }
    handle_ = ++lastHandle_;
    return handle_;
}

bool VirtualReader::Close(DeviceHandle device)
{
    if (device == kNoDevice || device != handle_) {
        return false;
    }
    handle_ = kNoDevice;
    active_ = false;
    ClearPipes();
    return true;
}

void VirtualReader::ClearPipes()
{
    reply_.clear();
    frame_.clear();
    frameRead_ = 0;
}

bool VirtualReader::IoControl(DeviceHandle device, uint32_t code, std::span<const uint8_t> input,
                              std::span<uint8_t> output, uint32_t& returned)
{
    returned = 0;
    if (device == kNoDevice || device != handle_) {
        return false;
    }
    try {
        switch (code) {
            case kWritePipeRequest:
                return input.size() == kPipeNumberSize && LoadLe32(input.data()) == kCommandPipe && Execute(output);
            case kReadPipeRequest:
                return input.size() == kPipeNumberSize && ReadPipe(LoadLe32(input.data()), output, returned);
            case kResetPipeRequest:
                if (!input.empty() || !output.empty()) {
                    return false;
                }
                ClearPipes();
                return true;
            default:
                return false;
        }
    } catch (...) {
        // The generator could not make a frame (out of memory): the request fails.
        return false;
    }
}

bool VirtualReader::Execute(std::span<const uint8_t> packet)
{
    const std::optional<DecodedCommand> command = DecodeCommand(packet);
    if (!command) {
        return false;
    }
    switch (command->opcode) {
        case Opcode::SetWindow:
            window_ = WindowOf(command->parameters);
            return true;
        case Opcode::QueryMode:
            reply_.assign(kModeReplySize, 0);
            reply_[0] = options_.modeByte;
            return true;
        case Opcode::WriteRegister:
            registers_[command->parameters[0]] = command->parameters[1];
            return true;
        case Opcode::Activate:
            active_ = true;
            return true;
        case Opcode::Deactivate:
            active_ = false;
            return true;
        case Opcode::ConfirmOpen:
            return active_;
        case Opcode::CaptureFrame:
            return active_ && CaptureFrame(WindowOf(command->parameters), command->parameters[8]);
        case Opcode::ReadKey:
            reply_.assign(options_.key.begin(), options_.key.end());
            return true;
    }
    return false;
}

bool VirtualReader::ReadPipe(uint32_t pipe, std::span<uint8_t> output, uint32_t& returned)
{
    if (pipe == kReplyPipe && !reply_.empty()) {
        const size_t count = std::min(output.size(), reply_.size());
        std::copy_n(reply_.begin(), count, output.begin());
        reply_.clear();
        returned = static_cast<uint32_t>(count);
        return true;
    }
    if (pipe == kFramePipe && frameRead_ < frame_.size()) {
        const size_t count = std::min(output.size(), frame_.size() - frameRead_);
        std::copy_n(frame_.begin() + static_cast<std::ptrdiff_t>(frameRead_), count, output.begin());
        frameRead_ += count;
        returned = static_cast<uint32_t>(count);
        return true;
    }
    // Nothing to read: a real driver would wait; the simulation reports failure instead.
    return false;
}

bool VirtualReader::CaptureFrame(const Window& window, uint8_t gain)
{
    if (window.width == 0 || window.height == 0 || window.x + window.width > kSensorWidth ||
        window.y + window.height > kSensorHeight) {
        return false;
    }
    const fpsynth::GreyImage finger = NextFingerFrame(gain);
    const auto frameNumber = static_cast<uint32_t>(framesCaptured_++);
    frame_.resize(static_cast<size_t>(window.width) * window.height);
    frameRead_ = 0;
    uint8_t* out = frame_.data();
    for (int r = 0; r < window.height; ++r) {
        const int y = window.y + r;
        for (int c = 0; c < window.width; ++c) {
            const int x = window.x + c;
            const int fx = x - kFingerWindow.x;
            const int fy = y - kFingerWindow.y;
            const bool onFinger =
                !finger.pixels.empty() && fx >= 0 && fx < finger.width && fy >= 0 && fy < finger.height;
            *out++ = onFinger ? finger.at(fx, fy)
                              : BlackLevel(static_cast<uint32_t>(x), static_cast<uint32_t>(y), frameNumber);
        }
    }
    return true;
}

fpsynth::GreyImage VirtualReader::NextFingerFrame(uint8_t gain)
{
    if (touch_ != nullptr && touch_->Phase() == fpsynth::TouchPhase::Lifted) {
        touch_.reset();
        emptyFramesLeft_ = std::max(0, options_.emptyFramesBeforeTouch);
    }
    if (touch_ == nullptr && emptyFramesLeft_ > 0) {
        --emptyFramesLeft_;
        return {};
    }
    if (touch_ == nullptr) {
        ++touches_;
        fpsynth::MasterOptions master;
        master.seed = fpsynth::FingerSeed(options_.seed, touches_);
        touch_ = std::make_unique<fpsynth::SensorTouch>(fpsynth::MasterFingerprint::Generate(master),
                                                        fpsynth::ImpressionSeed(master.seed, 1), options_.touch);
    }
    return touch_->Capture(gain).image;
}

}  // namespace kestrix
