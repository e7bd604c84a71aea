// The byte layout of a package. Integers are little-endian signed 32-bit; texts are
// ANSI bytes preceded by their length.
//
//   header:  N, header text (N bytes), total unpacked size, file count
//   entry:   L, name (L bytes), DOS date-time, data block      (L = 0 ends the package,
//                                                               L < 0 is skipped)
//   block:   "EC2\0", then chunks C, |C| bytes, ..., then C = 0
//
// A chunk with C > 0 is one complete zlib stream that inflates to at most 16384 bytes; a
// chunk with C < 0 holds -C bytes as they are. An entry named "NEXT:DISK" + ddd has no
// date and no block: the package goes on in the volume whose extension is ".ddd", which
// begins with a block that continues the file interrupted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace torvik::package {

// The largest chunk, stored or compressed, and the most a compressed chunk inflates to.
inline constexpr size_t kChunkLimit = 16384;

inline constexpr std::array<uint8_t, 4> kBlockTag = {'E', 'C', '2', 0};

// An entry that travels in the package but is never written to disk.
inline constexpr std::string_view kFileListName = "FILE:LIST";
inline constexpr std::string_view kVolumeChangePrefix = "NEXT:DISK";
inline constexpr size_t kVolumeDigits = 3;

// The package file name that restores from the stream handed to the component.
inline constexpr std::string_view kStreamPackageName = ":STREAM";

// Entry names longer than any path can be mark a damaged package; they are never
// allocated.
inline constexpr size_t kMaxEntryName = 32768;
// The header text is not interpreted; this much of it is kept, the rest is skipped.
inline constexpr size_t kMaxKeptHeaderText = 65536;

}  // namespace torvik::package
