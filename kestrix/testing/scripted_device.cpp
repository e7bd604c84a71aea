#include "testing/scripted_device.h"

#include <algorithm>

#include "device/io_control.h"
#include "device/little_endian.h"

namespace kestrix::testing {

bool RecordedRequest::IsWrite() const
{
    return code == kWritePipeRequest;
}

bool RecordedRequest::IsRead() const
{
    return code == kReadPipeRequest;
}

bool RecordedRequest::IsReset() const
{
    return code == kResetPipeRequest;
}

uint8_t RecordedRequest::Opcode() const
{
    return IsWrite() && packet.size() > 1 ? packet[1] : 0;
}

DeviceHandle ScriptedDevice::Open(const std::string& name)
{
    openAttempts.push_back(name);
    if (handle_ != kNoDevice || readers.count(name) == 0) {
        return kNoDevice;
    }
    handle_ = ++lastHandle_;
    return handle_;
}

bool ScriptedDevice::Close(DeviceHandle device)
{
    ++closes;
    if (device != handle_ || device == kNoDevice) {
        return false;
    }
    handle_ = kNoDevice;
    reply_.clear();
    frame_.clear();
    return !closeFails;
}

bool ScriptedDevice::IoControl(DeviceHandle device, uint32_t code, std::span<const uint8_t> input,
                               std::span<uint8_t> output, uint32_t& returned)
{
    returned = 0;
    RecordedRequest request;
    request.code = code;
    if (input.size() == kPipeNumberSize) {
        request.pipe = LoadLe32(input.data());
    }
    if (request.IsWrite()) {
        request.packet.assign(output.begin(), output.end());
    } else {
        request.asked = output.size();
    }
    const bool valid = device != kNoDevice && device == handle_;
    request.failed = !valid || (failWhen && failWhen(request)) || !Answer(request, output);
    if (!request.failed) {
        returned = request.returned;
    }
    requests.push_back(std::move(request));
    return !requests.back().failed;
}

bool ScriptedDevice::Answer(RecordedRequest& request, std::span<uint8_t> output)
{
    if (request.IsReset()) {
        reply_.clear();
        frame_.clear();
        return true;
    }
    if (request.IsWrite()) {
        const std::optional<DecodedCommand> command = DecodeCommand(request.packet);
        if (!command) {
            return false;
        }
        if (command->opcode == kestrix::Opcode::QueryMode) {
            reply_.assign(kModeReplySize, 0);
            reply_[0] = modeByte;
        } else if (command->opcode == kestrix::Opcode::ReadKey) {
            reply_.assign(key.begin(), key.end());
        } else if (command->opcode == kestrix::Opcode::CaptureFrame) {
            const Window window = WindowOf(command->parameters);
            frame_.assign(static_cast<size_t>(window.width) * window.height, 0);
            frameRead_ = 0;
            if (frameSource) {
                frameSource(command->parameters[8], frame_);
            }
            ++framesRendered;
        }
        return true;
    }
    if (!request.IsRead()) {
        return false;
    }
    size_t count = 0;
    if (request.pipe == kReplyPipe) {
        count = std::min(output.size(), reply_.size());
        std::copy_n(reply_.begin(), count, output.begin());
        reply_.clear();
    } else if (request.pipe == kFramePipe) {
        const size_t left = frame_.size() - std::min(frameRead_, frame_.size());
        count = std::min(output.size(), left);
        if (!frameReads.empty()) {
            count = std::min<size_t>(frameReads.front(), output.size());
            frameReads.pop_front();
        }
        for (size_t i = 0; i < count; ++i) {
            output[i] = frameRead_ + i < frame_.size() ? frame_[frameRead_ + i] : 0;
        }
        frameRead_ += count;
    } else {
        return false;
    }
    request.returned = static_cast<uint32_t>(count);
    if (readCount) {
        if (const std::optional<uint32_t> scripted = readCount(request)) {
            request.returned = *scripted;
        }
    }
    return true;
}

int ScriptedDevice::Count(kestrix::Opcode opcode) const
{
    return static_cast<int>(
        std::count_if(requests.begin(), requests.end(), [opcode](const RecordedRequest& r) { return r.Is(opcode); }));
}

int ScriptedDevice::Resets() const
{
    return static_cast<int>(
        std::count_if(requests.begin(), requests.end(), [](const RecordedRequest& r) { return r.IsReset(); }));
}

int ScriptedDevice::Reads(uint32_t pipe) const
{
    return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                          [pipe](const RecordedRequest& r) { return r.IsRead() && r.pipe == pipe; }));
}

std::string ScriptedDevice::Trace() const
{
    std::string trace;
    for (const RecordedRequest& r : requests) {
        trace += r.IsReset() ? 'R' : r.IsRead() ? 'r' : static_cast<char>(r.Opcode());
    }
    return trace;
}

std::vector<std::vector<uint8_t>> ScriptedDevice::Packets(kestrix::Opcode opcode) const
{
    std::vector<std::vector<uint8_t>> packets;
    for (const RecordedRequest& r : requests) {
        if (r.Is(opcode)) {
            packets.push_back(r.packet);
        }
    }
    return packets;
}

void ScriptedDevice::ClearRecord()
{
    openAttempts.clear();
    requests.clear();
    closes = 0;
    framesRendered = 0;
}

std::function<bool(const RecordedRequest&)> FailCommand(kestrix::Opcode opcode, int nth)
{
    return [opcode, nth, seen = 0](const RecordedRequest& request) mutable {
        if (!request.Is(opcode)) {
            return false;
        }
        ++seen;
        return nth == 0 || seen == nth;
    };
}

}  // namespace kestrix::testing
