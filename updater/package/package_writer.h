// Writes packages that the restore reads: chunks of at most 16384 input bytes, each
// compressed into one complete zlib stream when that makes it smaller and stored as it
// is otherwise, and, when a largest volume size is set, further volumes joined by
// "NEXT:DISK" entries. The volumes are written under temporary names and take their
// places only when the package is complete.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "package/chunk_codec.h"
#include "package/package_format.h"
#include "package/package_stream.h"

namespace torvik::package {

class OutputFile;

struct PackageWriterOptions {
    int level = 1;        // zlib level 1 to 9; 0 stores every chunk
    int64_t maxSize = 0;  // largest volume in bytes; 0 or less: a single volume
    std::string title;    // the header text, as stored
};

// Volumes hold at least this much, so that every item fits in a fresh one.
inline constexpr int64_t kMinVolumeSize = 65536;

class PackageWriter {
public:
    // Throws PackageError (cannot write to archive) when the package cannot be created
    // or the volume size is below kMinVolumeSize.
    PackageWriter(std::string packageFile, PackageWriterOptions options);
    ~PackageWriter();  // an unfinished package leaves nothing behind
    PackageWriter(const PackageWriter&) = delete;
    PackageWriter& operator=(const PackageWriter&) = delete;

    // Adds an entry (name as stored, packed DOS date-time) whose data is what the stream
    // holds from its position on. After each chunk, chunkRead gets the number of bytes
    // read; when it returns false the entry stops there, Add returns false and the
    // package must be abandoned. Throws PackageError: cannot read file when the data
    // cannot be read, cannot write to archive when the package cannot be written or the
    // name cannot be stored (empty, too long, NUL, or a special name).
    bool Add(std::string_view storedName, int32_t date, PackageStream& data,
             const std::function<bool(size_t)>& chunkRead = {});

    // Ends the package, records the total and the file count in the header and gives the
    // volumes their names. Throws PackageError (cannot write to archive).
    void Finish();

    // The volumes' file names, the package file first.
    std::vector<std::string> VolumeFiles() const;

private:
    void WriteInt32(int32_t value);
    void WriteBytes(const void* bytes, size_t count);
    void EnsureRoom(size_t size, bool inBlock);
    void NextVolume(bool inBlock);
    bool Fits(size_t size) const;

    std::string packageFile_;
    PackageWriterOptions options_;
    std::vector<std::unique_ptr<OutputFile>> volumes_;
    std::unique_ptr<ChunkDeflater> deflater_;
    uint64_t used_ = 0;  // bytes in the current volume
    uint64_t total_ = 0;
    int32_t fileCount_ = 0;
    bool finished_ = false;
    std::array<uint8_t, kChunkLimit> input_;
    std::array<uint8_t, 4 + kChunkLimit> chunk_;  // header and chunk, written in one go
};

}  // namespace torvik::package
