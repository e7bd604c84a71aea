#include "package/platform/package_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/updater_error.h"
#include "platform/files.h"

namespace torvik::package {
namespace {

constexpr uint64_t kFlushStep = 1 << 20;

std::string Reason(int error)
{
    return std::strerror(error);
}

}  // namespace

InputFile::InputFile(const std::string& path)
{
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (fd_ < 0 || fstat(fd_, &status) != 0 || S_ISDIR(status.st_mode)) {
        const int error = fd_ < 0 ? errno : (S_ISDIR(status.st_mode) ? EISDIR : errno);
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = -1;
        throw UpdaterError("Cannot open file \"" + path + "\". " + Reason(error));
    }
    size_ = static_cast<uint64_t>(status.st_size);
    modified_ = status.st_mtim.tv_sec;
    // Packages and packed files are read once from start to end.
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

InputFile::~InputFile()
{
    if (fd_ >= 0) {
        close(fd_);
    }
}

size_t InputFile::Read(void* buffer, size_t count)
{
    auto* next = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count && !failed_) {
        const ssize_t n = read(fd_, next + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            failed_ = true;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    position_ += done;
    return done;
}

bool InputFile::Skip(uint64_t count)
{
    // A file that grew since it was opened may be skipped into; one that shrank may not.
    struct stat status {};
    const uint64_t size = fstat(fd_, &status) == 0 ? static_cast<uint64_t>(status.st_size) : size_;
    if (failed_ || count > size || position_ > size - count) {
        return false;
    }
    if (lseek(fd_, static_cast<off_t>(position_ + count), SEEK_SET) < 0) {
        failed_ = true;
        return false;
    }
    position_ += count;
    return true;
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)), temporary_(path_ + ".tmp-XXXXXX")
{
    fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        throw UpdaterError("Cannot create file \"" + path_ + "\". " + Reason(error));
    }
}

OutputFile::~OutputFile()
{
    if (fd_ >= 0) {
        close(fd_);
        unlink(temporary_.c_str());
    }
}

void OutputFile::Fail(const char* what, int error) const
{
    throw UpdaterError(std::string("Cannot ") + what + " file \"" + path_ + "\". " + Reason(error));
}

void OutputFile::Write(const void* bytes, size_t count)
{
    if (const int error = platform::WriteAll(fd_, bytes, count); error != 0) {
        Fail("write", error);
    }
    size_ += count;
    // Start writing each megabyte out at once, so that the flush on Commit finds little
    // left to wait for.
    if (size_ - flushed_ >= kFlushStep) {
        sync_file_range(fd_, static_cast<off_t>(flushed_), static_cast<off_t>(size_ - flushed_), SYNC_FILE_RANGE_WRITE);
        flushed_ = size_;
    }
}

void OutputFile::WriteAt(uint64_t offset, const void* bytes, size_t count)
{
    if (offset > size_ || count > size_ - offset) {
        Fail("write", EINVAL);
    }
    const auto* next = static_cast<const unsigned char*>(bytes);
    while (count > 0) {
        const ssize_t n = pwrite(fd_, next, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            Fail("write", n < 0 ? errno : EIO);
        }
        next += n;
        offset += static_cast<uint64_t>(n);
        count -= static_cast<size_t>(n);
    }
}

void OutputFile::Commit()
{
    if (fd_ < 0) {
        Fail("write", EBADF);
    }
    struct stat existing {};
    mode_t mode = 0;
    if (stat(path_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0644 & ~mask;
    }
    if (fchmod(fd_, mode) != 0) {
        Fail("write", errno);
    }
    if (modified_) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {*modified_, 0}};
        if (futimens(fd_, times) != 0) {
            Fail("write", errno);
        }
    }
    if (fsync(fd_) != 0) {
        Fail("write", errno);
    }
    const int closed = close(fd_);
    const int closeError = errno;
    fd_ = -1;
    if (closed != 0 || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int error = closed != 0 ? closeError : errno;
        unlink(temporary_.c_str());
        Fail("write", error);
    }
}

bool FileExists(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

std::optional<time_t> FileModificationTime(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    return status.st_mtim.tv_sec;
}

bool CreateFolders(const std::string& folder)
{
    if (folder.empty()) {
        return true;  // the current folder
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

}  // namespace torvik::package
