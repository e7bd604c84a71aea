#include "package/package_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "package/entry_paths.h"
#include "package/package_errors.h"
#include "package/package_reader.h"
#include "package/platform/package_files.h"
#include "settings/cipher/byte_order.h"

namespace torvik::package {
namespace {

// Every volume keeps room to end the block it is in and name the next volume.
constexpr size_t kVolumeChangeSize = 4 + kVolumeChangePrefix.size() + kVolumeDigits;
constexpr size_t kVolumeReserve = 4 + 4 + kVolumeChangeSize;
constexpr int kLastDisk = 999;

// Converts the failures of the files underneath into the package's own error.
template <typename Action>
void Writing(Action&& action)
{
    try {
        action();
    } catch (const PackageError&) {
        throw;
    } catch (const std::exception& error) {
        throw PackageError(kCannotWriteArchive, error.what());
    }
}

}  // namespace

PackageWriter::PackageWriter(std::string packageFile, PackageWriterOptions options)
    : packageFile_(std::move(packageFile)), options_(std::move(options))
{
    if ((options_.maxSize > 0 && options_.maxSize < kMinVolumeSize) || options_.title.size() > kMaxKeptHeaderText) {
        throw PackageError(kCannotWriteArchive);
    }
    if (options_.level > 0) {
        deflater_ = std::make_unique<ChunkDeflater>(std::min(options_.level, 9));
    }
    Writing([&] { volumes_.push_back(std::make_unique<OutputFile>(packageFile_)); });
    WriteInt32(static_cast<int32_t>(options_.title.size()));
    WriteBytes(options_.title.data(), options_.title.size());
    WriteInt32(0);  // total and file count, recorded by Finish
    WriteInt32(0);
}

PackageWriter::~PackageWriter() = default;

void PackageWriter::WriteBytes(const void* bytes, size_t count)
{
    Writing([&] { volumes_.back()->Write(bytes, count); });
    used_ += count;
}

void PackageWriter::WriteInt32(int32_t value)
{
    std::array<uint8_t, 4> bytes;
    cipher::StoreLittleEndian32(bytes, 0, static_cast<uint32_t>(value));
    WriteBytes(bytes.data(), bytes.size());
}

bool PackageWriter::Fits(size_t size) const
{
    return options_.maxSize <= 0 || used_ + size + kVolumeReserve <= static_cast<uint64_t>(options_.maxSize);
}

void PackageWriter::EnsureRoom(size_t size, bool inBlock)
{
    if (Fits(size)) {
        return;
    }
    NextVolume(inBlock);
    if (!Fits(size)) {
        throw PackageError(kCannotWriteArchive);
    }
}

void PackageWriter::NextVolume(bool inBlock)
{
    const int disk = static_cast<int>(volumes_.size()) + 1;
    if (disk > kLastDisk) {
        throw PackageError(kCannotWriteArchive);
    }
    if (inBlock) {
        WriteInt32(0);
    }
    const std::string digits = VolumeDigits(disk);
    const std::string name = std::string(kVolumeChangePrefix) + digits;
    WriteInt32(static_cast<int32_t>(name.size()));
    WriteBytes(name.data(), name.size());

    Writing([&] { volumes_.push_back(std::make_unique<OutputFile>(VolumeFileName(packageFile_, digits))); });
    used_ = 0;
    // A volume begins with the block that continues the file before the change; between
    // two files that block is empty.
    WriteBytes(kBlockTag.data(), kBlockTag.size());
    if (!inBlock) {
        WriteInt32(0);
    }
}

bool PackageWriter::Add(std::string_view storedName, int32_t date, PackageStream& data,
                        const std::function<bool(size_t)>& chunkRead)
{
    if (finished_ || storedName.empty() || storedName.size() > kMaxEntryName ||
        storedName.find('\0') != std::string_view::npos || storedName == kFileListName ||
        storedName.starts_with(kVolumeChangePrefix)) {
        throw PackageError(kCannotWriteArchive);
    }
    EnsureRoom(4 + storedName.size() + 4 + kBlockTag.size(), false);
    WriteInt32(static_cast<int32_t>(storedName.size()));
    WriteBytes(storedName.data(), storedName.size());
    WriteInt32(date);
    WriteBytes(kBlockTag.data(), kBlockTag.size());
    ++fileCount_;

    while (true) {
        const size_t read = data.Read(input_.data(), input_.size());
        if (data.Failed()) {
            throw PackageError(kCannotReadFile);
        }
        if (read == 0) {
            break;
        }
        const std::span<const uint8_t> input(input_.data(), read);
        const auto compressed = deflater_ ? deflater_->Deflate(input, std::span(chunk_).subspan(4)) : std::nullopt;
        const size_t size = compressed ? *compressed : read;
        if (!compressed) {
            std::memcpy(chunk_.data() + 4, input.data(), read);
        }
        const int32_t header = compressed ? static_cast<int32_t>(size) : -static_cast<int32_t>(size);
        cipher::StoreLittleEndian32(chunk_, 0, static_cast<uint32_t>(header));
        EnsureRoom(4 + size, true);
        WriteBytes(chunk_.data(), 4 + size);
        total_ += read;
        if (chunkRead && !chunkRead(read)) {
            return false;
        }
        if (read < input_.size()) {
            break;
        }
    }
    WriteInt32(0);
    return true;
}

void PackageWriter::Finish()
{
    if (finished_) {
        return;
    }
    WriteInt32(0);
    // The total is a 32-bit count; beyond it the restore's percentages simply reach 100
    // early.
    const auto total = static_cast<int32_t>(std::min<uint64_t>(total_, std::numeric_limits<int32_t>::max()));
    std::array<uint8_t, 8> counts;
    cipher::StoreLittleEndian32(counts, 0, static_cast<uint32_t>(total));
    cipher::StoreLittleEndian32(counts, 4, static_cast<uint32_t>(fileCount_));
    Writing([&] {
        volumes_.front()->WriteAt(4 + options_.title.size(), counts.data(), counts.size());
        // The package file appears last, once every volume it leads to is in place.
        for (auto volume = volumes_.rbegin(); volume != volumes_.rend(); ++volume) {
            (*volume)->Commit();
        }
    });
    finished_ = true;
}

std::vector<std::string> PackageWriter::VolumeFiles() const
{
    std::vector<std::string> files;
    for (const auto& volume : volumes_) {
        files.push_back(volume->Path());
    }
    return files;
}

}  // namespace torvik::package
