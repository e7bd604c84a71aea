#include "settings/registry/registry_key.h"

#include "common/text.h"

namespace torvik {
namespace detail {

bool IsAsciiName(std::string_view name)
{
    for (char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string AsciiLower(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (IsAsciiName(a) && IsAsciiName(b)) {
        return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
    }
    // Bytes that are not UTF-8 would all read as U+FFFD and look alike; stored names are
    // always UTF-8, so such a name matches only itself.
    if (!IsValidUtf8(a) || !IsValidUtf8(b)) {
        return a == b;
    }
    return SameText(a, b);
}

}  // namespace detail

RegistryKey* RegistryKey::Subkey(std::string_view name)
{
    const size_t found = subkeys_.Find(name);
    return found == subkeys_.npos ? nullptr : subkeys_[found].get();
}

const RegistryKey* RegistryKey::Subkey(std::string_view name) const
{
    const size_t found = subkeys_.Find(name);
    return found == subkeys_.npos ? nullptr : subkeys_[found].get();
}

RegistryKey& RegistryKey::AddSubkey(std::string_view name)
{
    if (RegistryKey* existing = Subkey(name)) {
        return *existing;
    }
    return *subkeys_.Add(std::make_unique<RegistryKey>(std::string(name)));
}

bool RegistryKey::DeleteSubkey(std::string_view name)
{
    const size_t found = subkeys_.Find(name);
    if (found == subkeys_.npos) {
        return false;
    }
    subkeys_.Erase(found);
    return true;
}

RegistryKey* RegistryKey::Find(const std::vector<std::string>& path)
{
    RegistryKey* key = this;
    for (const std::string& name : path) {
        key = key->Subkey(name);
        if (key == nullptr) {
            return nullptr;
        }
    }
    return key;
}

const RegistryKey* RegistryKey::Find(const std::vector<std::string>& path) const
{
    return const_cast<RegistryKey*>(this)->Find(path);
}

const RegistryValue* RegistryKey::Value(std::string_view name) const
{
    const size_t found = values_.Find(name);
    return found == values_.npos ? nullptr : &values_[found];
}

void RegistryKey::SetValue(std::string_view name, std::string data, bool isString)
{
    const size_t found = values_.Find(name);
    if (found != values_.npos) {
        values_[found].data = std::move(data);
        values_[found].isString = isString;
        return;
    }
    values_.Add(RegistryValue{std::string(name), std::move(data), isString});
}

bool RegistryKey::DeleteValue(std::string_view name)
{
    const size_t found = values_.Find(name);
    if (found == values_.npos) {
        return false;
    }
    values_.Erase(found);
    return true;
}

bool RegistryKey::operator==(const RegistryKey& other) const
{
    if (name_ != other.name_ || values_.size() != other.values_.size() || subkeys_.size() != other.subkeys_.size()) {
        return false;
    }
    for (size_t i = 0; i < values_.size(); ++i) {
        if (!(values_[i] == other.values_[i])) {
            return false;
        }
    }
    for (size_t i = 0; i < subkeys_.size(); ++i) {
        if (!(*subkeys_[i] == *other.subkeys_[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace torvik
