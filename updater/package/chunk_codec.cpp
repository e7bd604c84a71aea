#include "package/chunk_codec.h"

#include <algorithm>

#include "package/package_errors.h"

namespace torvik::package {

ChunkInflater::ChunkInflater()
{
    if (inflateInit(&stream_) != Z_OK) {
        throw PackageError(kCompressionError);
    }
}

ChunkInflater::~ChunkInflater()
{
    inflateEnd(&stream_);
}

std::optional<size_t> ChunkInflater::Inflate(std::span<const uint8_t> chunk, std::span<uint8_t, kChunkLimit> output)
{
    if (inflateReset(&stream_) != Z_OK) {
        return std::nullopt;
    }
    // zlib's interface predates const; it never writes through next_in.
    stream_.next_in = const_cast<Bytef*>(chunk.data());
    stream_.avail_in = static_cast<uInt>(chunk.size());
    stream_.next_out = output.data();
    stream_.avail_out = static_cast<uInt>(output.size());
    // The whole chunk is at hand, so one call finishes it; finishing in one call also
    // spares zlib its history window. Anything short of the stream's end (data that does
    // not fit, a stream cut short, a bad check value) is a damaged chunk.
    if (inflate(&stream_, Z_FINISH) != Z_STREAM_END) {
        return std::nullopt;
    }
    return output.size() - stream_.avail_out;
}

ChunkDeflater::ChunkDeflater(int level)
{
    if (deflateInit(&stream_, level) != Z_OK) {
        throw PackageError(kCompressionError);
    }
}

ChunkDeflater::~ChunkDeflater()
{
    deflateEnd(&stream_);
}

std::optional<size_t> ChunkDeflater::Deflate(std::span<const uint8_t> input, std::span<uint8_t> output)
{
    if (input.empty() || deflateReset(&stream_) != Z_OK) {
        return std::nullopt;
    }
    // Room for less than the input only: a stream that does not shrink never finishes.
    const size_t room = std::min({output.size(), input.size() - 1, kChunkLimit});
    stream_.next_in = const_cast<Bytef*>(input.data());
    stream_.avail_in = static_cast<uInt>(input.size());
    stream_.next_out = output.data();
    stream_.avail_out = static_cast<uInt>(room);
    if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) {
        return std::nullopt;
    }
    return room - stream_.avail_out;
}

}  // namespace torvik::package
