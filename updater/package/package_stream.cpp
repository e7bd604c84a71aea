#include "package/package_stream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "settings/cipher/byte_order.h"

namespace torvik::package {

bool PackageStream::Skip(uint64_t count)
{
    std::array<uint8_t, 4096> scratch;
    while (count > 0) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(count, scratch.size()));
        const size_t read = Read(scratch.data(), wanted);
        count -= read;
        if (read < wanted) {
            return false;
        }
    }
    return true;
}

size_t MemoryStream::Read(void* buffer, size_t count)
{
    const size_t n = std::min(count, bytes_.size() - position_);
    if (n > 0) {
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
    }
    return n;
}

bool MemoryStream::Skip(uint64_t count)
{
    const size_t left = bytes_.size() - position_;
    if (count > left) {
        position_ = bytes_.size();
        return false;
    }
    position_ += static_cast<size_t>(count);
    return true;
}

bool ReadExact(PackageStream& source, void* buffer, size_t count)
{
    return count == 0 || source.Read(buffer, count) == count;
}

std::optional<int32_t> ReadInt32(PackageStream& source)
{
    std::array<uint8_t, 4> bytes;
    if (!ReadExact(source, bytes.data(), bytes.size())) {
        return std::nullopt;
    }
    return static_cast<int32_t>(cipher::LoadLittleEndian32(bytes, 0));
}

}  // namespace torvik::package
