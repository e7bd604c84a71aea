// Compressed chunks: each one complete zlib stream of at most 16384 bytes that inflates
// to at most 16384 bytes. One zlib stream object serves every chunk of a run (it is
// reset between chunks), so no chunk costs an allocation.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "package/package_format.h"

namespace torvik::package {

class ChunkInflater {
public:
    ChunkInflater();  // throws PackageError (compression error) when zlib cannot start
    ~ChunkInflater();
    ChunkInflater(const ChunkInflater&) = delete;
    ChunkInflater& operator=(const ChunkInflater&) = delete;

    // The number of bytes the chunk inflates to in output; nothing when the chunk is not
    // one complete, intact zlib stream whose data fits in output.
    std::optional<size_t> Inflate(std::span<const uint8_t> chunk, std::span<uint8_t, kChunkLimit> output);

private:
    z_stream stream_{};
};

class ChunkDeflater {
public:
    // A zlib level from 1 to 9. Throws PackageError (compression error) when zlib
    // cannot start.
    explicit ChunkDeflater(int level);
    ~ChunkDeflater();
    ChunkDeflater(const ChunkDeflater&) = delete;
    ChunkDeflater& operator=(const ChunkDeflater&) = delete;

    // The size of the compressed chunk written to output, when it is shorter than the
    // input and fits in output and in a chunk; otherwise nothing, and the input is to be
    // stored as it is.
    std::optional<size_t> Deflate(std::span<const uint8_t> input, std::span<uint8_t> output);

private:
    z_stream stream_{};
};

}  // namespace torvik::package
