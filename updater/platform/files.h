// File operations of the updater that need the operating system's guarantees.
#pragma once

#include <cstddef>
#include <string>

namespace torvik::platform {

// Writes bytes next to path under a temporary name and renames it over path, so that a
// reader sees the old file or the new one, never a part. An existing file keeps its
// permissions; a new one gets 0644 (less the umask). False when anything failed; path is
// then unchanged.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// Writes every byte to the descriptor, resuming after interrupted and partial writes.
// Returns 0, or the errno of the failure (EIO when the system wrote nothing).
int WriteAll(int fd, const void* bytes, size_t count);

// An advisory lock (flock) on a lock file, held for the object's lifetime; processes
// that take the same lock wait for each other. The lock file is created when missing.
class FileLock {
public:
    // exclusive: for writers; shared: for readers.
    FileLock(const std::string& lockPath, bool exclusive);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace torvik::platform
