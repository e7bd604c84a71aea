// Reading a package piece by piece: the header, the start of each entry, and the chunks
// of data blocks. Whatever the bytes, nothing is read or allocated beyond a limit: a
// stream that ends early, a name longer than any path or a chunk over 16384 bytes is a
// damaged package.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "package/chunk_codec.h"
#include "package/package_format.h"
#include "package/package_stream.h"

namespace torvik::package {

struct PackageHeader {
    std::string text;       // not interpreted; at most kMaxKeptHeaderText bytes of it
    int32_t total = 0;      // sum of the unpacked sizes of all entries
    int32_t fileCount = 0;  // the second count
};

// Throws UpdaterError "Cannot read archive" when the header cannot be read whole.
PackageHeader ReadPackageHeader(PackageStream& source);

struct EntryStart {
    enum class Kind { End, VolumeChange, File };
    Kind kind = Kind::End;
    std::string name;  // as stored
    int32_t date = 0;  // File: the packed DOS date-time
    int disk = 0;      // VolumeChange: the number of the next volume (ddd)
};

// Reads the next entry up to its data block, passing over negative lengths. Throws
// PackageError (cannot read archive) when the stream ends first, when a name is longer
// than kMaxEntryName, or when a volume change does not end in three digits.
EntryStart ReadEntryStart(PackageStream& source);

// The three digits of a volume's extension.
std::string VolumeDigits(int disk);

// The chunks of data blocks, read through one input and one output buffer of 16384 bytes.
class BlockReader {
public:
    // True when the next 4 bytes are the tag "EC2" and a zero byte. Throws PackageError
    // (cannot read archive) when the stream ends first.
    bool ReadTag(PackageStream& source);
    // The next chunk header; 0 ends the block. Throws PackageError (cannot read archive)
    // when the stream ends first or the header exceeds 16384 in magnitude.
    int32_t ReadChunkHeader(PackageStream& source);
    // Reads the chunk of a non-zero header: its stored bytes, or the bytes it inflates
    // to. Nothing when a compressed chunk is damaged. Throws PackageError (cannot read
    // archive) when the stream ends first. The next chunk header, which always follows
    // within the block, is read in the same call.
    std::optional<std::span<const uint8_t>> ReadChunk(PackageStream& source, int32_t header);
    // Passes over the chunk of a header. Throws PackageError (cannot read archive) when
    // the stream ends first.
    void SkipChunk(PackageStream& source, int32_t header);

private:
    std::array<uint8_t, kChunkLimit + 4> input_;  // a chunk and the header after it
    std::array<uint8_t, kChunkLimit> output_;
    ChunkInflater inflater_;
    std::optional<int32_t> nextHeader_;  // read with the chunk before
    bool cutShort_ = false;              // the stream ended inside that header
};

}  // namespace torvik::package
