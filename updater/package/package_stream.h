// The byte streams a package is read from and restored files are written to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace torvik::package {

// Where a package is read from: a volume file, or a stream the caller hands to the
// component for ":STREAM". Reading is strictly sequential.
class PackageStream {
public:
    virtual ~PackageStream() = default;

    // Up to count bytes; fewer only where the stream ends or cannot be read further.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Moves count bytes forward; false when the stream ends first. The default reads
    // and drops the bytes; seekable streams do better.
    virtual bool Skip(uint64_t count);
    // True once reading failed, as opposed to reaching the stream's end.
    virtual bool Failed() const { return false; }
};

// Where restored bytes go.
class OutputStream {
public:
    virtual ~OutputStream() = default;

    // Throws UpdaterError when the bytes cannot be written.
    virtual void Write(const void* bytes, size_t count) = 0;
};

// A package held in memory by the caller; the bytes must outlive the stream.
class MemoryStream : public PackageStream {
public:
    explicit MemoryStream(std::string_view bytes) : bytes_(bytes) {}

    size_t Read(void* buffer, size_t count) override;
    bool Skip(uint64_t count) override;
    size_t Position() const { return position_; }

private:
    std::string_view bytes_;
    size_t position_ = 0;
};

// True when all count bytes were read.
bool ReadExact(PackageStream& source, void* buffer, size_t count);

// A little-endian signed 32-bit integer, or nothing when the stream ends first.
std::optional<int32_t> ReadInt32(PackageStream& source);

}  // namespace torvik::package
