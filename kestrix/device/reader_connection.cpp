#include "device/reader_connection.h"

#include <cstdio>

#include "capture/gain_tables.h"
#include "device/io_control.h"
#include "device/little_endian.h"

namespace kestrix {
namespace {

std::array<uint8_t, kPipeNumberSize> PipeNumber(uint32_t pipe)
{
    std::array<uint8_t, kPipeNumberSize> bytes{};
    StoreLe32(bytes.data(), pipe);
    return bytes;
}

}  // namespace

bool ReaderConnection::Send(const CommandPacket& packet)
{
    if (handle_ == kNoDevice) {
        return false;
    }
    // The write request takes the packet in its output buffer (direct I/O into the device).
    CommandPacket out = packet;
    uint32_t returned = 0;
    return devices_->IoControl(handle_, kWritePipeRequest, PipeNumber(kCommandPipe), out, returned);
}

bool ReaderConnection::Read(uint32_t pipe, std::span<uint8_t> area, uint32_t& count)
{
    count = 0;
    if (handle_ == kNoDevice) {
        return false;
    }
    uint32_t returned = 0;
    if (!devices_->IoControl(handle_, kReadPipeRequest, PipeNumber(pipe), area, returned) || returned > area.size()) {
        return false;
    }
    count = returned;
    return true;
}

bool ReaderConnection::ResetPipe()
{
    if (handle_ == kNoDevice) {
        return false;
    }
    uint32_t returned = 0;
    return devices_->IoControl(handle_, kResetPipeRequest, {}, {}, returned);
}

DeviceHandle ReaderConnection::Search()
{
    for (int pass = 0; pass < kSearchPasses; ++pass) {
        for (int n = 0; n < kDeviceIndices; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, kDeviceNameFormat, n);
            deviceName_ = name;
            const DeviceHandle handle = devices_->Open(deviceName_);
            if (handle != kNoDevice) {
                return handle;
            }
        }
    }
    return kNoDevice;
}

bool ReaderConnection::Open()
{
    if (handle_ != kNoDevice) {
        return true;
    }
    handle_ = Search();
    if (handle_ == kNoDevice) {
        return false;
    }
    // From here on a failure keeps the handle: the connection is half-open until a close.
    return Start();
}

void ReaderConnection::WriteRegisters(std::span<const RegisterWrite> writes)
{
    for (const RegisterWrite& write : writes) {
        if (!Send(MakeWriteRegister(write.address, write.value))) {
            ResetPipe();
        }
    }
}

bool ReaderConnection::Start()
{
    exposure_.Reset();
    exposure_.previousArea = 0;
    WriteRegisters(kStartRegisters);
    window_ = kCaptureWindow;
    modeByte_ = 0;
    if (!Send(MakeSetWindow(Window{0, 0, kCaptureWindow.width, kCaptureWindow.height}))) {
        ResetPipe();
        return false;
    }
    if (!QueryMode()) {
        return false;
    }
    if (!Send(MakeCommand(Opcode::Activate))) {
        return false;
    }
    return Send(MakeCommand(Opcode::ConfirmOpen));
}

// Reads the mode byte and prepares the sensor for it. Without a reply (the query failed
// but the pipe could be reset) the reader is taken to be in mode 0, which is what the
// mode byte then says.
bool ReaderConnection::QueryMode()
{
    bool replied = false;
    if (Send(MakeCommand(Opcode::QueryMode))) {
        std::array<uint8_t, kModeReplySize> reply{};
        uint32_t count = 0;
        if (Read(kReplyPipe, reply, count) && count >= 1) {
            modeByte_ = reply[0];
            replied = true;
        }
    }
    if (!replied && !ResetPipe()) {
        return false;
    }
    if (modeByte_ == 0) {
        WriteRegisters(kModeZeroRegisters);
        exposure_.SelectTable(kGainTableA);
    } else {
        exposure_.SelectTable(kGainTableB);
    }
    return true;
}

bool ReaderConnection::Close()
{
    if (handle_ == kNoDevice) {
        return false;
    }
    if (!Send(MakeCommand(Opcode::Deactivate))) {
        return false;
    }
    const bool closed = devices_->Close(handle_);
    handle_ = kNoDevice;
    modeByte_ = 0;
    return closed;
}

bool ReaderConnection::ReadKey(std::array<uint8_t, kKeySize>& key)
{
    if (handle_ == kNoDevice) {
        return false;
    }
    if (!Send(MakeCommand(Opcode::ReadKey))) {
        ResetPipe();
        return false;
    }
    std::array<uint8_t, kKeySize> reply{};
    uint32_t count = 0;
    // A reply shorter than the key would leave part of it unknown.
    if (!Read(kReplyPipe, reply, count) || count != kKeySize) {
        ResetPipe();
        return false;
    }
    key = reply;
    return true;
}

}  // namespace kestrix
