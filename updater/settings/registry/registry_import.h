// Importing a .reg file into the stores, the way regedit /s does.
#pragma once

#include <string>
#include <vector>

#include "settings/registry/registry_text.h"

namespace torvik {

// Applies the changes to the store of each root they concern: keys under
// HKEY_CURRENT_USER go to the current-user store, under HKEY_LOCAL_MACHINE to the
// local-machine store. Each store is locked, changed in memory and written once, so it
// takes all of its part of the changes or none. Returns one message for each store that
// could not be changed; empty when every change was stored.
std::vector<std::string> ImportRegistryChanges(const std::vector<RegistryChange>& changes);

}  // namespace torvik
