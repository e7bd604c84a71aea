#include "capture/capture.h"

#include <memory>
#include <new>

#include "capture/frame_scaling.h"
#include "capture/image_statistics.h"

namespace kestrix {

CaptureStatus CaptureImage(ReaderConnection& reader, std::span<uint8_t, kImageSize> image)
{
    // Room for every read request the transfer may make; filled by the transfer itself.
    std::unique_ptr<uint8_t[]> frame;
    try {
        frame = std::make_unique_for_overwrite<uint8_t[]>(kFrameBufferSize);
    } catch (const std::bad_alloc&) {
        return kNoFrame;
    }
    const std::span<uint8_t> frameBytes(frame.get(), kFrameBufferSize);

    // 1. The frame at the current gain (the transfer may reopen the connection).
    if (!reader.TransferFrame(frameBytes)) {
        return kNoFrame;
    }
    // 2. Picked down to the image size and mirrored, straight into the caller's buffer.
    ScaleAndMirror(frameBytes, image);
    // 3. Finger area and brightness.
    const ImageStatistics statistics = MeasureImage(image);
    // 4. The verdict, and the gain for the next frame.
    return JudgeImage(statistics, reader.Exposure());
}

}  // namespace kestrix
