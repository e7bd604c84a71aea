// The keys of one registry root held in memory. Every key has named values and subkeys;
// names are found without letter case and keep the spelling and the order they were
// created in.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace torvik {

// Windows refuses key paths deeper than this; the limit also bounds the recursion of
// everything that walks a tree.
inline constexpr size_t kMaxKeyDepth = 512;

// One value of a key. The updater reads and writes strings only; values of other types
// that an imported file brings are kept as their .reg text, for example "dword:0000002a"
// or "hex(2):41,00,00,00".
struct RegistryValue {
    std::string name;  // "" is the key's default value
    std::string data;
    bool isString = true;

    bool operator==(const RegistryValue&) const = default;
};

namespace detail {

bool IsAsciiName(std::string_view name);
std::string AsciiLower(std::string_view name);
// SameText, with a shortcut for two ASCII names.
bool SameName(std::string_view a, std::string_view b);

}  // namespace detail

// Items kept in creation order and found by name without letter case. ASCII names, the
// usual case, are found through an index, so a key with many values or subkeys stays
// fast to read and build; other names are compared one by one with SameText.
template <typename T>
class NamedList {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    size_t Find(std::string_view name) const;
    // The caller has made sure no item of that name exists.
    T& Add(T item);
    void Erase(size_t position);

    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    T& operator[](size_t position) { return items_[position]; }
    const T& operator[](size_t position) const { return items_[position]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T> items_;
    std::unordered_map<std::string, size_t> asciiIndex_;  // lower-case ASCII name -> position
    size_t otherNames_ = 0;                               // names that are not all ASCII
};

class RegistryKey {
public:
    explicit RegistryKey(std::string name = {}) : name_(std::move(name)) {}
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&&) = default;
    RegistryKey& operator=(RegistryKey&&) = default;

    const std::string& Name() const { return name_; }

    RegistryKey* Subkey(std::string_view name);
    const RegistryKey* Subkey(std::string_view name) const;
    // The subkey of that name; created (with this spelling) when missing.
    RegistryKey& AddSubkey(std::string_view name);
    bool DeleteSubkey(std::string_view name);
    const NamedList<std::unique_ptr<RegistryKey>>& Subkeys() const { return subkeys_; }

    // The key at path below this one, or null.
    RegistryKey* Find(const std::vector<std::string>& path);
    const RegistryKey* Find(const std::vector<std::string>& path) const;

    const RegistryValue* Value(std::string_view name) const;
    // Sets the data of the value; an existing value keeps the spelling of its name.
    void SetValue(std::string_view name, std::string data, bool isString);
    bool DeleteValue(std::string_view name);
    const NamedList<RegistryValue>& Values() const { return values_; }

    // Same names with the same spelling, values and subkeys, in the same order.
    bool operator==(const RegistryKey& other) const;

private:
    std::string name_;
    NamedList<RegistryValue> values_;
    NamedList<std::unique_ptr<RegistryKey>> subkeys_;
};

inline const std::string& NameOf(const RegistryValue& value)
{
    return value.name;
}

inline const std::string& NameOf(const std::unique_ptr<RegistryKey>& key)
{
    return key->Name();
}

template <typename T>
size_t NamedList<T>::Find(std::string_view name) const
{
    const bool ascii = detail::IsAsciiName(name);
    if (ascii) {
        const auto found = asciiIndex_.find(detail::AsciiLower(name));
        if (found != asciiIndex_.end()) {
            return found->second;
        }
        if (otherNames_ == 0) {
            return npos;
        }
    }
    // A name that is not all ASCII may still equal an ASCII one (the Kelvin sign folds
    // to "k"), so every item is compared.
    for (size_t i = 0; i < items_.size(); ++i) {
        const std::string& candidate = NameOf(items_[i]);
        if ((!ascii || !detail::IsAsciiName(candidate)) && detail::SameName(candidate, name)) {
            return i;
        }
    }
    return npos;
}

template <typename T>
T& NamedList<T>::Add(T item)
{
    const std::string& name = NameOf(item);
    if (detail::IsAsciiName(name)) {
        asciiIndex_.emplace(detail::AsciiLower(name), items_.size());
    } else {
        ++otherNames_;
    }
    items_.push_back(std::move(item));
    return items_.back();
}

template <typename T>
void NamedList<T>::Erase(size_t position)
{
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
    asciiIndex_.clear();
    otherNames_ = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        const std::string& name = NameOf(items_[i]);
        if (detail::IsAsciiName(name)) {
            asciiIndex_.emplace(detail::AsciiLower(name), i);
        } else {
            ++otherNames_;
        }
    }
}

}  // namespace torvik
