#include "settings/registry/registry_store.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/process.h"
#include "settings/registry/registry_text.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

std::string LockPath(const std::string& storePath)
{
    return storePath + ".lock";
}

bool IsBlankText(std::string_view bytes)
{
    return bytes.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// Creates the missing folders of path, each with mode.
bool CreateFolders(const fs::path& folder, fs::perms mode, std::string& error)
{
    std::vector<fs::path> missing;
    std::error_code status;
    for (fs::path at = folder; !at.empty() && !fs::exists(at, status); at = at.parent_path()) {
        missing.push_back(at);
        if (at == at.parent_path()) {
            break;
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        std::error_code failure;
        fs::create_directory(*it, failure);
        if (!failure) {
            fs::permissions(*it, mode, fs::perm_options::replace, failure);
        }
        if (failure) {
            error = "cannot create the folder " + it->string() + ": " + failure.message();
            return false;
        }
    }
    return true;
}

std::string NoStoreError()
{
    return "the current-user store has no place: neither XDG_CONFIG_HOME nor HOME is set";
}

}  // namespace

std::string RegistryStorePath(RegistryRoot root)
{
    const bool user = root == RegistryRoot::CurrentUser;
    std::string folder = platform::Environment("TORVIK_REGISTRY_DIR");
    if (!folder.empty()) {
        if (folder.back() != '/') {
            folder += '/';
        }
        return folder + (user ? "user.reg" : "system.reg");
    }
    if (!user) {
        return "/etc/torvik/system.reg";
    }
    // Relative values of XDG_CONFIG_HOME are to be ignored.
    const std::string config = platform::Environment("XDG_CONFIG_HOME");
    if (!config.empty() && config.front() == '/') {
        return config + "/torvik/user.reg";
    }
    const std::string home = platform::Environment("HOME");
    return home.empty() ? std::string() : home + "/.config/torvik/user.reg";
}

FileReadResult ReadRegistryFile(const std::string& path, std::string& bytes, std::string& error)
{
    bytes.clear();
    std::error_code failure;
    const fs::file_status status = fs::status(path, failure);
    if (status.type() == fs::file_type::not_found) {
        return FileReadResult::Missing;
    }
    if (failure) {
        error = "cannot read " + path + ": " + failure.message();
        return FileReadResult::Failed;
    }
    if (status.type() != fs::file_type::regular) {
        error = "cannot read " + path + ": not a regular file";
        return FileReadResult::Failed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return FileReadResult::Failed;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<size_t>(size) > kMaxRegistryFileSize) {
        error = "cannot read " + path + ": larger than " + std::to_string(kMaxRegistryFileSize / 1024 / 1024) + " MiB";
        return FileReadResult::Failed;
    }
    in.seekg(0);
    bytes.resize(static_cast<size_t>(size));
    in.read(bytes.data(), size);
    if (in.gcount() != size) {
        error = "cannot read " + path + ": it changed while it was read";
        return FileReadResult::Failed;
    }
    return FileReadResult::Read;
}

bool ReadRegistryStore(RegistryRoot root, RegistryKey& keys, std::string& error)
{
    keys = RegistryKey();
    const std::string path = RegistryStorePath(root);
    if (path.empty()) {
        error = NoStoreError();
        return false;
    }
    // Replacements are atomic, so a reader that cannot take the lock (a lock file it may
    // not create, in a folder of the local machine) still sees a whole file.
    const platform::FileLock lock(LockPath(path), false);
    std::string bytes;
    switch (ReadRegistryFile(path, bytes, error)) {
        case FileReadResult::Missing:
            return true;
        case FileReadResult::Failed:
            return false;
        case FileReadResult::Read:
            break;
    }
    ApplyRegistryChanges(ReadRegistryText(bytes).changes, root, keys);
    return true;
}

RegistryStoreChange::RegistryStoreChange(RegistryRoot root) : root_(root), path_(RegistryStorePath(root))
{
    ready_ = Prepare();
    if (!ready_) {
        lock_.reset();
    }
}

RegistryStoreChange::~RegistryStoreChange() = default;

bool RegistryStoreChange::Prepare()
{
    if (path_.empty()) {
        error_ = NoStoreError();
        return false;
    }
    const fs::perms mode = root_ == RegistryRoot::CurrentUser
                               ? fs::perms::owner_all
                               : fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec;
    if (!CreateFolders(fs::path(path_).parent_path(), mode, error_)) {
        return false;
    }
    lock_ = std::make_unique<platform::FileLock>(LockPath(path_), true);
    if (!lock_->Locked()) {
        error_ = "cannot create or lock " + LockPath(path_);
        return false;
    }
    std::string bytes;
    switch (ReadRegistryFile(path_, bytes, error_)) {
        case FileReadResult::Missing:
            return true;
        case FileReadResult::Failed:
            return false;
        case FileReadResult::Read:
            break;
    }
    if (IsBlankText(bytes)) {
        return true;
    }
    const RegistryText text = ReadRegistryText(bytes);
    if (!text.problems.empty()) {
        const RegistryProblem& first = text.problems.front();
        error_ = path_ + ":" + std::to_string(first.line) + ": " + first.reason +
                 " (the store is left as it is until that line is mended)";
        return false;
    }
    for (const RegistryChange& change : text.changes) {
        if (change.root != root_) {
            error_ = path_ + ":" + std::to_string(change.line) + ": a key of " + std::string(RootName(change.root)) +
                     " does not belong in this store (the store is left as it is until that line is mended)";
            return false;
        }
    }
    ApplyRegistryChanges(text.changes, root_, keys_);
    return true;
}

bool RegistryStoreChange::Commit()
{
    if (!ready_) {
        return false;
    }
    const std::string bytes = WriteRegistryText(root_, keys_);
    if (bytes.size() > kMaxRegistryFileSize) {
        error_ = "cannot write " + path_ + ": the store would grow past " +
                 std::to_string(kMaxRegistryFileSize / 1024 / 1024) + " MiB";
        return false;
    }
    if (!platform::ReplaceFileAtomically(path_, bytes)) {
        error_ = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace torvik
