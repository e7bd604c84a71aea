// The store files of the two roots: where they live, reading them as they are on disk,
// and changing them under an exclusive lock with one atomic replacement. Each store file
// has a lock file beside it ("user.reg.lock"); readers take it shared, writers exclusive.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/files.h"
#include "settings/registry/registry.h"
#include "settings/registry/registry_key.h"

namespace torvik {

// Larger files are neither read nor written: a store never grows into a file it could
// not read back. The limit bounds the memory a file's keys take (a few tens of bytes of
// text can make a key of a few hundred bytes); the updater's stores hold kilobytes.
inline constexpr size_t kMaxRegistryFileSize = 4 * 1024 * 1024;

// The store file of root: TORVIK_REGISTRY_DIR/user.reg and TORVIK_REGISTRY_DIR/system.reg
// when that variable is set; otherwise $XDG_CONFIG_HOME/torvik/user.reg (default
// ~/.config/torvik/user.reg) and /etc/torvik/system.reg. "" when there is no home folder.
std::string RegistryStorePath(RegistryRoot root);

enum class FileReadResult { Read, Missing, Failed };
// A whole file of at most kMaxRegistryFileSize bytes; error tells why it failed.
FileReadResult ReadRegistryFile(const std::string& path, std::string& bytes, std::string& error);

// The keys of root's store as they are on disk now, read under the shared lock. A missing
// file is an empty store, and lines that cannot be read are left out. False, with error
// set, when the file cannot be read.
bool ReadRegistryStore(RegistryRoot root, RegistryKey& keys, std::string& error);

// One change of a store. Created, it holds the store's exclusive lock and its keys (the
// store's folder is created when missing: 0700 for the current user, 0755 for the local
// machine); Commit writes the keys back in one atomic replacement, and the lock is
// released with the object. A store file with lines that cannot be read is never
// rewritten, since those lines would be lost.
class RegistryStoreChange {
public:
    explicit RegistryStoreChange(RegistryRoot root);
    ~RegistryStoreChange();
    RegistryStoreChange(const RegistryStoreChange&) = delete;
    RegistryStoreChange& operator=(const RegistryStoreChange&) = delete;

    // False when the store could not be locked or read; Error() says why.
    bool Ready() const { return ready_; }
    RegistryKey& Keys() { return keys_; }
    bool Commit();

    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

private:
    bool Prepare();

    RegistryRoot root_;
    std::string path_;
    std::unique_ptr<platform::FileLock> lock_;
    RegistryKey keys_;
    bool ready_ = false;
    std::string error_;
};

}  // namespace torvik
