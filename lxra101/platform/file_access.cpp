#include "platform/file_access.h"

#include <sys/stat.h>
#include <unistd.h>

namespace lxra::platform {

FILE* OpenForReading(const char* path)
{
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

unsigned long ModificationTime(FILE* file)
{
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || status.st_mtime < 0) {
        return 0;
    }
    return static_cast<unsigned long>(status.st_mtime);
}

bool IsWritable(const char* path)
{
    return access(path, W_OK) == 0;
}

}  // namespace lxra::platform
