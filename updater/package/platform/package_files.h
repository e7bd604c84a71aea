// The files a package is read from and restored to.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "package/package_stream.h"

namespace torvik::package {

// A package volume, or a file being packed, read from its start.
class InputFile : public PackageStream {
public:
    // Throws UpdaterError "Cannot open file "<path>". <reason>".
    explicit InputFile(const std::string& path);
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    size_t Read(void* buffer, size_t count) override;
    bool Skip(uint64_t count) override;

    bool Failed() const override { return failed_; }
    uint64_t Size() const { return size_; }
    time_t ModificationTime() const { return modified_; }

private:
    int fd_ = -1;
    bool failed_ = false;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
    time_t modified_ = 0;
};

// A file written beside its path under a temporary name, which takes the path's place on
// Commit; until then the path keeps what it held, and a file never committed is removed.
// Replacing by rename also works for a program that is running.
class OutputFile : public OutputStream {
public:
    // Throws UpdaterError "Cannot create file "<path>". <reason>".
    explicit OutputFile(std::string path);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const void* bytes, size_t count) override;
    // Overwrites bytes already written. Throws UpdaterError.
    void WriteAt(uint64_t offset, const void* bytes, size_t count);
    uint64_t Size() const { return size_; }
    const std::string& Path() const { return path_; }

    // The modification time the file gets when it is committed.
    void SetModificationTime(time_t time) { modified_ = time; }
    // Flushes the file to disk and renames it over the path; an existing file's
    // permissions are kept, a new file gets 0644 less the umask. Throws UpdaterError.
    void Commit();

private:
    [[noreturn]] void Fail(const char* what, int error) const;

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    uint64_t size_ = 0;
    uint64_t flushed_ = 0;  // bytes whose writing out has been started
    std::optional<time_t> modified_;
};

// True for an existing file that is not a folder.
bool FileExists(const std::string& path);

// The modification time of an existing file that is not a folder.
std::optional<time_t> FileModificationTime(const std::string& path);

// Creates the folder with every missing parent; true when it exists afterwards.
bool CreateFolders(const std::string& folder);

}  // namespace torvik::package
