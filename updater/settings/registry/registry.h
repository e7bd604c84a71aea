// The registry of the updater: per-user and machine-wide keys of named string values,
// kept in ".reg" text files (current user: $XDG_CONFIG_HOME/torvik/user.reg, default
// ~/.config/torvik/user.reg; local machine: /etc/torvik/system.reg; TORVIK_REGISTRY_DIR
// moves both). Key paths are separated by "\"; key and value names compare without
// letter case. Every change is written atomically under an advisory file lock.
#pragma once

#include <memory>
#include <string>

namespace torvik {

enum class RegistryRoot { CurrentUser, LocalMachine };

// TRegistry-like accessor: a root and at most one open key.
class TRegistry {
public:
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Setting the root closes the open key.
    void SetRootKey(RegistryRoot root);
    RegistryRoot RootKey() const;

    // Opens path: relative to the open key, or from the root when it starts with "\" or
    // no key is open. With canCreate, missing keys on the way are created (and written).
    // False, with no key open, when a key is missing and may not be created, or the
    // store cannot be read or written.
    bool OpenKey(const std::string& path, bool canCreate);
    void CloseKey();
    bool HasOpenKey() const;
    // Path of the open key from the root, without a leading "\"; "" when none is open.
    std::string CurrentPath() const;

    bool KeyExists(const std::string& path) const;  // path from the root
    bool ValueExists(const std::string& name) const;
    // The value's string data; "" when it does not exist or no key is open.
    std::string ReadString(const std::string& name) const;
    // Throws UpdaterError "Failed to set data for '<name>'" when no key is open or the
    // store cannot be written.
    void WriteString(const std::string& name, const std::string& value);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Closes the accessor's key, sets the root and opens path one segment at a time
// (split at "\"), creating missing segments when allowed. True when every segment
// opened; false when one did not or an error occurred.
bool Abre_Chave_Registro(TRegistry& registry, RegistryRoot root, const std::string& path, bool create);

}  // namespace torvik
