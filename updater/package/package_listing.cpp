#include "package/package_listing.h"

#include <memory>

#include "common/text.h"
#include "package/entry_paths.h"
#include "package/package_errors.h"
#include "package/platform/package_files.h"

namespace torvik::package {
namespace {

// Adds the chunks of one block to the entry (or to nothing, for a continuation that
// follows no entry).
void ReadBlock(BlockReader& blocks, PackageStream& source, ListedEntry* entry, const std::string& where)
{
    if (!blocks.ReadTag(source)) {
        throw PackageError(kInvalidArchiveType, where);
    }
    while (const int32_t header = blocks.ReadChunkHeader(source)) {
        const auto data = blocks.ReadChunk(source, header);
        if (!data) {
            throw PackageError(kCompressionError, where);
        }
        if (entry != nullptr) {
            entry->size += data->size();
            entry->packedSize += static_cast<uint64_t>(header < 0 ? -static_cast<int64_t>(header) : header);
        }
    }
}

}  // namespace

PackageListing ListPackage(const std::string& packageFile)
{
    PackageListing listing;
    auto volume = std::make_unique<InputFile>(packageFile);
    listing.volumes.push_back(packageFile);
    listing.header = ReadPackageHeader(*volume);
    const auto blocks = std::make_unique<BlockReader>();
    int disk = 0;
    try {
        while (true) {
            const EntryStart entry = ReadEntryStart(*volume);
            if (entry.kind == EntryStart::Kind::End) {
                break;
            }
            if (entry.kind == EntryStart::Kind::VolumeChange) {
                const std::string next = VolumeFileName(packageFile, VolumeDigits(entry.disk));
                if (entry.disk <= disk) {
                    throw PackageError(kCannotReadArchive, "volume change to disk " + std::to_string(entry.disk) +
                                                               " out of order in " + listing.volumes.back());
                }
                if (!FileExists(next)) {
                    throw PackageError(kCannotReadArchive, "volume " + next + " is missing");
                }
                volume = std::make_unique<InputFile>(next);
                listing.volumes.push_back(next);
                disk = entry.disk;
                ReadBlock(*blocks, *volume, listing.entries.empty() ? nullptr : &listing.entries.back(), next);
                continue;
            }
            listing.entries.push_back({DecodeWindowsText(entry.name), entry.date, 0, 0});
            ReadBlock(*blocks, *volume, &listing.entries.back(), listing.entries.back().name);
        }
    } catch (const PackageError& error) {
        if (!error.Detail().empty()) {
            throw;
        }
        throw PackageError(error.Code(), "in " + listing.volumes.back() + " after " +
                                             std::to_string(listing.entries.size()) + " entries");
    }
    return listing;
}

}  // namespace torvik::package
