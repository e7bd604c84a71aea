#include "lxra101/file_helpers.h"

#include <memory>
#include <new>

#include "core/file_stream.h"
#include "lxra101/parser_interface.h"
#include "platform/file_access.h"

namespace {

bool IsEmptyPath(const char* path)
{
    return path == nullptr || path[0] == '\0';
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

FileHandle OpenForReading(const char* path)
{
    return FileHandle(IsEmptyPath(path) ? nullptr : lxra::platform::OpenForReading(path));
}

}  // namespace

int CheckFileExists(const char* path)
{
    return OpenForReading(path) != nullptr ? 1 : 0;
}

long GetFileSize(FILE* file)
{
    if (file == nullptr) {
        return 0;
    }
    const long saved = std::ftell(file);
    if (saved < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long size = std::ftell(file);
    std::fseek(file, saved, SEEK_SET);
    return size > 0 ? size : 0;
}

long GetFileSize(const char* path)
{
    FileHandle file = OpenForReading(path);
    return GetFileSize(file.get());
}

long GetFileNumLines(const char* path)
{
    std::unique_ptr<LXInputStream> stream(lxra::FileStreamImp::Open(path, 0));
    return stream != nullptr ? stream->GetNumLines() : 0;
}

long LoadBufferFromFile(const char* path, char* buf, long size)
{
    if (buf == nullptr || size <= 0) {
        return 0;
    }
    FileHandle file = OpenForReading(path);
    if (file == nullptr) {
        return 0;
    }
    const size_t count = std::fread(buf, 1, static_cast<size_t>(size - 1), file.get());
    buf[count] = '\0';
    return static_cast<long>(count);
}

long WriteBufferToFile(const char* path, const char* data, long n)
{
    if (IsEmptyPath(path) || data == nullptr || n < 0) {
        return 0;
    }
    FileHandle file(std::fopen(path, "wb"));
    if (file == nullptr) {
        return 0;
    }
    const size_t written = std::fwrite(data, 1, static_cast<size_t>(n), file.get());
    // A write the file system refuses only shows when the data is flushed.
    if (std::fclose(file.release()) != 0) {
        return 0;
    }
    return static_cast<long>(written);
}

char* LoadFile(const char* path)
{
    FileHandle file = OpenForReading(path);
    if (file == nullptr) {
        return nullptr;
    }
    const long size = GetFileSize(file.get());
    auto* text = static_cast<char*>(::operator new(static_cast<size_t>(size) + 1, std::nothrow));
    if (text == nullptr) {
        return nullptr;
    }
    const size_t count = std::fread(text, 1, static_cast<size_t>(size), file.get());
    if (count == 0) {
        ::operator delete(text);
        return nullptr;
    }
    text[count] = '\0';
    return text;
}

unsigned long GetLastModTime(const char* path)
{
    FileHandle file = OpenForReading(path);
    return file != nullptr ? lxra::platform::ModificationTime(file.get()) : 0;
}

int IsReadOnlyFile(const char* path)
{
    if (IsEmptyPath(path)) {
        return 0;
    }
    return lxra::platform::IsWritable(path) ? 0 : 1;
}

long ParserInterface::GetFileSize(const char* path)
{
    return ::GetFileSize(path);
}

long ParserInterface::LoadFile(const char* path, char* buf, long size)
{
    return LoadBufferFromFile(path, buf, size);
}
