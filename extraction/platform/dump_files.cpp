#include "platform/dump_files.h"

#include <cstdio>
#include <memory>

namespace fenrax {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void CurrentFolderDumps::Write(const char* name, std::span<const uint8_t> bytes)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name, "wb"));
    if (file == nullptr) {
        return;
    }
    (void)std::fwrite(bytes.data(), 1, bytes.size(), file.get());
}

}  // namespace fenrax
