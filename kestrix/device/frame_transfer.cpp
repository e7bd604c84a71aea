// One frame from the reader: a CaptureFrame command, then the frame pipe read in
// fixed-size requests until the frame is complete.
#include <algorithm>
#include <cassert>

#include "capture/image_geometry.h"
#include "device/io_control.h"
#include "device/reader_connection.h"

namespace kestrix {

bool ReaderConnection::TransferFrame(std::span<uint8_t> buffer)
{
    assert(buffer.size() >= kFrameBufferSize);
    if (handle_ == kNoDevice) {
        return false;
    }
    const Window window = window_;
    if (!Send(MakeCaptureFrame(window, exposure_.gainByte))) {
        ResetPipe();
        return false;
    }
    const size_t expected = static_cast<size_t>(window.width) * window.height;
    size_t total = 0;
    for (int request = 0; request < kMaxFrameReads && total < expected; ++request) {
        // Never true for the capture window; a larger window could not overrun the buffer.
        if (total + kFrameReadSize > buffer.size()) {
            return false;
        }
        uint32_t count = 0;
        if (!Read(kFramePipe, buffer.subspan(total, kFrameReadSize), count)) {
            return false;
        }
        total += count;
        // Less than one full request so far: the reader is out of step with us.
        if (total < kFrameReadSize) {
            ResetPipe();
            Close();
            Open();
            return false;
        }
    }
    if (total != expected) {
        Close();
        Open();
    }
    // The frame is used whole: what did not arrive is black, not what the buffer held.
    if (total < kFrameSize) {
        std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(total),
                  buffer.begin() + static_cast<std::ptrdiff_t>(kFrameSize), uint8_t{0});
    }
    return true;
}

}  // namespace kestrix
