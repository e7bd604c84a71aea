#include "package/package_reader.h"

#include <algorithm>
#include <cstdio>

#include "package/package_errors.h"
#include "settings/cipher/byte_order.h"

namespace torvik::package {
namespace {

[[noreturn]] void Damaged()
{
    throw PackageError(kCannotReadArchive);
}

int32_t Int32OrDamaged(PackageStream& source)
{
    const auto value = ReadInt32(source);
    if (!value) {
        Damaged();
    }
    return *value;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t Magnitude(int32_t header)
{
    return static_cast<size_t>(header < 0 ? -static_cast<int64_t>(header) : header);
}

}  // namespace

PackageHeader ReadPackageHeader(PackageStream& source)
{
    PackageHeader header;
    const auto length = ReadInt32(source);
    if (!length || *length < 0) {
        throw UpdaterError(std::string(ErrorText(kCannotReadArchive)));
    }
    const size_t kept = std::min<size_t>(static_cast<size_t>(*length), kMaxKeptHeaderText);
    header.text.resize(kept);
    const bool read = ReadExact(source, header.text.data(), kept) && source.Skip(static_cast<size_t>(*length) - kept);
    const auto total = read ? ReadInt32(source) : std::nullopt;
    const auto fileCount = total ? ReadInt32(source) : std::nullopt;
    if (!fileCount) {
        throw UpdaterError(std::string(ErrorText(kCannotReadArchive)));
    }
    header.total = *total;
    header.fileCount = *fileCount;
    return header;
}

EntryStart ReadEntryStart(PackageStream& source)
{
    int32_t length = Int32OrDamaged(source);
    while (length < 0) {
        length = Int32OrDamaged(source);
    }
    EntryStart entry;
    if (length == 0) {
        return entry;
    }
    if (static_cast<size_t>(length) > kMaxEntryName) {
        Damaged();
    }
    entry.name.resize(static_cast<size_t>(length));
    if (!ReadExact(source, entry.name.data(), entry.name.size())) {
        Damaged();
    }
    if (entry.name.starts_with(kVolumeChangePrefix)) {
        const std::string_view digits = std::string_view(entry.name).substr(kVolumeChangePrefix.size());
        if (digits.size() != kVolumeDigits || !std::all_of(digits.begin(), digits.end(), IsDigit)) {
            Damaged();
        }
        entry.kind = EntryStart::Kind::VolumeChange;
        entry.disk = (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
        return entry;
    }
    entry.kind = EntryStart::Kind::File;
    entry.date = Int32OrDamaged(source);
    return entry;
}

std::string VolumeDigits(int disk)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", std::clamp(disk, 0, 999));
    return digits;
}

bool BlockReader::ReadTag(PackageStream& source)
{
    nextHeader_.reset();
    cutShort_ = false;
    std::array<uint8_t, 4> tag;
    if (!ReadExact(source, tag.data(), tag.size())) {
        Damaged();
    }
    return tag == kBlockTag;
}

int32_t BlockReader::ReadChunkHeader(PackageStream& source)
{
    if (cutShort_) {
        Damaged();
    }
    const int32_t header = nextHeader_ ? *nextHeader_ : Int32OrDamaged(source);
    nextHeader_.reset();
    if (Magnitude(header) > kChunkLimit) {
        Damaged();
    }
    return header;
}

std::optional<std::span<const uint8_t>> BlockReader::ReadChunk(PackageStream& source, int32_t header)
{
    const size_t size = Magnitude(header);
    if (size > kChunkLimit) {
        Damaged();
    }
    const size_t read = source.Read(input_.data(), size + 4);
    if (read < size) {
        Damaged();
    }
    if (read == size + 4) {
        nextHeader_ = static_cast<int32_t>(cipher::LoadLittleEndian32(input_, size));
    } else {
        cutShort_ = true;
    }
    const std::span<const uint8_t> chunk(input_.data(), size);
    if (header < 0) {
        return chunk;
    }
    const auto inflated = inflater_.Inflate(chunk, output_);
    if (!inflated) {
        return std::nullopt;
    }
    return std::span<const uint8_t>(output_.data(), *inflated);
}

void BlockReader::SkipChunk(PackageStream& source, int32_t header)
{
    if (!source.Skip(Magnitude(header))) {
        Damaged();
    }
}

}  // namespace torvik::package
