#include "settings/registry/registry_import.h"

#include <algorithm>

#include "settings/registry/registry_store.h"

namespace torvik {

std::vector<std::string> ImportRegistryChanges(const std::vector<RegistryChange>& changes)
{
    std::vector<std::string> errors;
    for (const RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
        const bool concerned = std::any_of(changes.begin(), changes.end(),
                                           [root](const RegistryChange& change) { return change.root == root; });
        if (!concerned) {
            continue;
        }
        RegistryStoreChange store(root);
        if (store.Ready()) {
            ApplyRegistryChanges(changes, root, store.Keys());
            if (store.Commit()) {
                continue;
            }
        }
        errors.push_back("nothing of " + std::string(RootName(root)) + " was imported: " + store.Error());
    }
    return errors;
}

}  // namespace torvik
