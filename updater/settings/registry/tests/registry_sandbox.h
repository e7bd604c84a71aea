// The registry stores of one test: TORVIK_REGISTRY_DIR points into a scratch folder for
// the object's lifetime, and what it held before is put back afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "scratch_folder.h"

namespace torvik::testing {

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedEnvironment() { Set(old_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value) {
            setenv(name_, value->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

    const char* name_;
    std::optional<std::string> old_;
};

class RegistrySandbox {
public:
    RegistrySandbox() : folder_(), variable_("TORVIK_REGISTRY_DIR", folder_.Folder()) {}

    const kit::testing::ScratchFolder& Folder() const { return folder_; }
    std::string Path(const std::string& name) const { return folder_.Path(name); }
    std::string UserStore() const { return folder_.Read("user.reg"); }
    std::string MachineStore() const { return folder_.Read("system.reg"); }

private:
    kit::testing::ScratchFolder folder_;
    ScopedEnvironment variable_;
};

}  // namespace torvik::testing
