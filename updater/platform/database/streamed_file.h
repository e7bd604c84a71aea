// A file written piece by piece that takes its place only when complete: the pieces go to
// a temporary file beside it, which replaces the path on Commit. Whatever fails before,
// the temporary file goes and the path keeps what it held.
#pragma once

#include <cstddef>
#include <string>

namespace torvik::db {

class StreamedFile {
public:
    // Throws DatabaseError when the temporary file cannot be created.
    explicit StreamedFile(std::string path);
    ~StreamedFile();
    StreamedFile(const StreamedFile&) = delete;
    StreamedFile& operator=(const StreamedFile&) = delete;

    void Write(const void* bytes, size_t count);  // throws DatabaseError
    // Flushes to disk and renames over the path. An existing file's permissions are
    // kept; a new file gets 0644 less the umask. Throws DatabaseError.
    void Commit();

private:
    std::string path_;
    std::string temporary_;
    int fd_ = -1;
};

}  // namespace torvik::db
