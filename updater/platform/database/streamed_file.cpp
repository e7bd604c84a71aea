#include "platform/database/streamed_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/database/database.h"
#include "platform/files.h"

namespace torvik::db {
namespace {

DatabaseError FileError(const std::string& what, const std::string& path, int error)
{
    return DatabaseError("Cannot " + what + " \"" + path + "\": " + std::strerror(error) + ".");
}

}  // namespace

StreamedFile::StreamedFile(std::string path) : path_(std::move(path)), temporary_(path_ + ".tmp-XXXXXX")
{
    fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        throw FileError("create", path_, errno);
    }
}

StreamedFile::~StreamedFile()
{
    if (fd_ >= 0) {
        close(fd_);
        unlink(temporary_.c_str());
    }
}

void StreamedFile::Write(const void* bytes, size_t count)
{
    if (const int error = platform::WriteAll(fd_, bytes, count); error != 0) {
        throw FileError("write", path_, error);
    }
}

void StreamedFile::Commit()
{
    struct stat existing {};
    mode_t mode = 0;
    if (stat(path_.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0644 & ~mask;
    }
    if (fchmod(fd_, mode) != 0 || fsync(fd_) != 0) {
        throw FileError("write", path_, errno);
    }
    const int closed = close(fd_);
    const int closeError = errno;
    fd_ = -1;
    if (closed != 0 || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int error = closed != 0 ? closeError : errno;
        unlink(temporary_.c_str());
        throw FileError("write", path_, error);
    }
}

}  // namespace torvik::db
