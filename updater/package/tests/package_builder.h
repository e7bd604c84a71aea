// Packages built byte by byte in the tests, so that a test shows exactly what it feeds
// the restore: sound layouts, and damaged or hostile ones.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace torvik::package::testing {

class PackageBuilder {
public:
    // The header: text, total, file count.
    PackageBuilder& Header(int32_t total, int32_t fileCount = 1, std::string_view text = "test package");
    PackageBuilder& Int32(int32_t value);
    PackageBuilder& Raw(std::string_view bytes);
    // L, name and date; the data block comes next.
    PackageBuilder& Entry(std::string_view name, int32_t date);
    // L and "NEXT:DISK" + digits.
    PackageBuilder& VolumeChange(std::string_view digits);
    PackageBuilder& Tag();
    PackageBuilder& Stored(std::string_view data);                     // C < 0
    PackageBuilder& Compressed(std::string_view data, int level = 6);  // C > 0, one zlib stream
    PackageBuilder& Chunk(int32_t header, std::string_view bytes);
    PackageBuilder& EndBlock();  // C = 0
    PackageBuilder& End();       // L = 0
    // A whole entry: name, date and a block of the data in compressed chunks of 16384
    // bytes.
    PackageBuilder& File(std::string_view name, int32_t date, std::string_view data);

    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// One complete zlib stream of the data.
std::string Zlib(std::string_view data, int level = 6);

// The packed DOS date-time of a local date and time.
int32_t DosDate(int year, int month, int day, int hour, int minute, int second);

// Deterministic test data: text that compresses well, and bytes that do not compress.
std::string SampleText(size_t size, uint32_t seed = 1);
std::string RandomBytes(size_t size, uint32_t seed = 1);

}  // namespace torvik::package::testing
