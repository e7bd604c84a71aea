// Sizes of the reader's frames and of the library's images.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrix {

inline constexpr int kImageWidth = 352;
inline constexpr int kImageHeight = 288;
inline constexpr size_t kImageSize = static_cast<size_t>(kImageWidth) * kImageHeight;  // 101376

inline constexpr int kFrameWidth = 440;
inline constexpr int kFrameHeight = 360;
inline constexpr size_t kFrameSize = static_cast<size_t>(kFrameWidth) * kFrameHeight;  // 158400

// The frame pipe is read in requests of this size, at most kMaxFrameReads of them; the
// receive buffer takes them all with room to spare.
inline constexpr size_t kFrameReadSize = 8192;
inline constexpr int kMaxFrameReads = 38;
inline constexpr size_t kFrameBufferSize = 317636;
static_assert(kFrameBufferSize >= kFrameReadSize * kMaxFrameReads);

// Size of a feature record (a 9052-byte template followed by a 404-byte one).
inline constexpr int kFeatureRecordSize = 9456;

}  // namespace kestrix
