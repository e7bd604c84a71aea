#include "settings/registry/registry.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "common/updater_error.h"
#include "settings/registry/registry_key.h"
#include "settings/registry/registry_store.h"
#include "settings/registry/registry_text.h"

namespace torvik {
namespace {

// The key names of a path split at "\". Empty names, from a leading, doubled or trailing
// "\", name no key: "Software\\" is "Software".
std::vector<std::string> SplitPath(std::string_view path)
{
    std::vector<std::string> names;
    while (!path.empty()) {
        const size_t end = path.find('\\');
        if (end != 0) {
            names.emplace_back(path.substr(0, end));
        }
        if (end == std::string_view::npos) {
            break;
        }
        path.remove_prefix(end + 1);
    }
    return names;
}

// The key at path, with the names spelled as the store keeps them; null when missing.
const RegistryKey* Walk(const RegistryKey& keys, const std::vector<std::string>& path,
                        std::vector<std::string>& spelled)
{
    spelled.clear();
    const RegistryKey* key = &keys;
    for (const std::string& name : path) {
        key = key->Subkey(name);
        if (key == nullptr) {
            return nullptr;
        }
        spelled.push_back(key->Name());
    }
    return key;
}

}  // namespace

struct TRegistry::State {
    RegistryRoot root = RegistryRoot::CurrentUser;
    bool open = false;
    std::vector<std::string> path;  // of the open key, spelled as the store keeps it

    // The open key as the store holds it now; null when none is open or it is gone.
    const RegistryKey* OpenKeyNow(RegistryKey& keys) const
    {
        std::string error;
        if (!open || !ReadRegistryStore(root, keys, error)) {
            return nullptr;
        }
        return keys.Find(path);
    }
};

TRegistry::TRegistry() : state_(std::make_unique<State>()) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(RegistryRoot root)
{
    CloseKey();
    state_->root = root;
}

RegistryRoot TRegistry::RootKey() const
{
    return state_->root;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate)
{
    std::vector<std::string> wanted;
    if (state_->open && (path.empty() || path.front() != '\\')) {
        wanted = state_->path;
    }
    for (std::string& name : SplitPath(path)) {
        wanted.push_back(std::move(name));
    }
    CloseKey();
    if (wanted.size() > kMaxKeyDepth) {
        return false;
    }

    RegistryKey keys;
    std::string error;
    std::vector<std::string> spelled;
    if (!ReadRegistryStore(state_->root, keys, error)) {
        return false;
    }
    if (Walk(keys, wanted, spelled) == nullptr) {
        // The local-machine store is read-only for the updater: only regedit writes there.
        if (!canCreate || state_->root == RegistryRoot::LocalMachine ||
            !std::all_of(wanted.begin(), wanted.end(), [](const std::string& name) { return IsValidKeyName(name); })) {
            return false;
        }
        RegistryStoreChange change(state_->root);
        if (!change.Ready()) {
            return false;
        }
        // Another process may have created some of the keys since they were read.
        RegistryKey* key = &change.Keys();
        bool created = false;
        spelled.clear();
        for (const std::string& name : wanted) {
            RegistryKey* next = key->Subkey(name);
            if (next == nullptr) {
                next = &key->AddSubkey(name);
                created = true;
            }
            spelled.push_back(next->Name());
            key = next;
        }
        if (created && !change.Commit()) {
            return false;
        }
    }
    state_->open = true;
    state_->path = std::move(spelled);
    return true;
}

void TRegistry::CloseKey()
{
    state_->open = false;
    state_->path.clear();
}

bool TRegistry::HasOpenKey() const
{
    return state_->open;
}

std::string TRegistry::CurrentPath() const
{
    std::string path;
    for (const std::string& name : state_->path) {
        path += path.empty() ? name : "\\" + name;
    }
    return path;
}

bool TRegistry::KeyExists(const std::string& path) const
{
    RegistryKey keys;
    std::string error;
    return ReadRegistryStore(state_->root, keys, error) && keys.Find(SplitPath(path)) != nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const
{
    RegistryKey keys;
    const RegistryKey* key = state_->OpenKeyNow(keys);
    return key != nullptr && key->Value(name) != nullptr;
}

std::string TRegistry::ReadString(const std::string& name) const
{
    RegistryKey keys;
    const RegistryKey* key = state_->OpenKeyNow(keys);
    const RegistryValue* value = key != nullptr ? key->Value(name) : nullptr;
    return value != nullptr && value->isString ? value->data : std::string();
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    const UpdaterError failure("Failed to set data for '" + name + "'");
    if (!state_->open || state_->root == RegistryRoot::LocalMachine || !FitsRegistryText(name) ||
        !FitsRegistryText(value)) {
        throw failure;
    }
    RegistryStoreChange change(state_->root);
    RegistryKey* key = change.Ready() ? change.Keys().Find(state_->path) : nullptr;
    // A key that another process deleted since it was opened is not brought back.
    if (key == nullptr) {
        throw failure;
    }
    const RegistryValue* existing = key->Value(name);
    if (existing != nullptr && existing->isString && existing->data == value) {
        return;
    }
    key->SetValue(name, value, true);
    if (!change.Commit()) {
        throw failure;
    }
}

bool Abre_Chave_Registro(TRegistry& registry, RegistryRoot root, const std::string& path, bool create)
{
    try {
        registry.CloseKey();
        registry.SetRootKey(root);
        size_t begin = 0;
        while (true) {
            const size_t end = path.find('\\', begin);
            if (!registry.OpenKey(path.substr(begin, end == std::string::npos ? std::string::npos : end - begin),
                                  create)) {
                return false;
            }
            if (end == std::string::npos) {
                return true;
            }
            begin = end + 1;
        }
    } catch (...) {
        return false;
    }
}

}  // namespace torvik
