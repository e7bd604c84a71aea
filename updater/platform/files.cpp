#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace torvik::platform {

int WriteAll(int fd, const void* bytes, size_t count)
{
    const auto* next = static_cast<const unsigned char*>(bytes);
    while (count > 0) {
        const ssize_t n = write(fd, next, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        next += n;
        count -= static_cast<size_t>(n);
    }
    return 0;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string temporary = path + ".tmp-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    bool ok = true;
    if (stat(path.c_str(), &status) == 0) {
        ok = fchmod(fd, status.st_mode & 07777) == 0;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        ok = fchmod(fd, 0644 & ~mask) == 0;
    }
    ok = ok && WriteAll(fd, bytes.data(), bytes.size()) == 0;
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

FileLock::FileLock(const std::string& lockPath, bool exclusive)
{
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        fd_ = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd_ < 0) {
        return;
    }
    int result;
    do {
        result = flock(fd_, exclusive ? LOCK_EX : LOCK_SH);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock()
{
    if (fd_ >= 0) {
        close(fd_);  // releases the lock
    }
}

}  // namespace torvik::platform
