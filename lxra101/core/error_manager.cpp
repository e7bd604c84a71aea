#include <new>

#include "lxra101/lx_error.h"

namespace {

LXError* Append(PtrArray& list, long code)
{
    auto* record = new (std::nothrow) LXError(code);
    if (record != nullptr && list.Add(record) < 0) {
        delete record;
        return nullptr;
    }
    return record;
}

void DeleteAll(PtrArray& list)
{
    for (long i = 0; i < list.GetSize(); ++i) {
        delete static_cast<LXError*>(list.GetAt(i));
    }
    list.RemoveAll();
}

long IndexOf(const PtrArray& list, const LXError* record)
{
    for (long i = 0; i < list.GetSize(); ++i) {
        if (list.GetAt(i) == record) {
            return i;
        }
    }
    return -1;
}

}  // namespace

LXErrorManager::LXErrorManager() = default;

LXErrorManager::~LXErrorManager()
{
    ClearErrors();
    ClearWarnings();
}

LXError* LXErrorManager::ThrowError(long code)
{
    return Append(errors_, code);
}

LXError* LXErrorManager::PostWarning(long code)
{
    return Append(warnings_, code);
}

void LXErrorManager::ClearErrors()
{
    DeleteAll(errors_);
}

void LXErrorManager::ClearWarnings()
{
    DeleteAll(warnings_);
}

LXError* LXErrorManager::GetLastError() const
{
    return static_cast<LXError*>(errors_.GetAt(errors_.GetUpperBound()));
}

LXError* LXErrorManager::GetPrevError(const LXError* error) const
{
    const long index = IndexOf(errors_, error);
    return index > 0 ? static_cast<LXError*>(errors_.GetAt(index - 1)) : nullptr;
}

LXError* LXErrorManager::GetFirstWarning() const
{
    return static_cast<LXError*>(warnings_.GetAt(0));
}

LXError* LXErrorManager::GetNextWarning(const LXError* warning) const
{
    const long index = IndexOf(warnings_, warning);
    return index >= 0 ? static_cast<LXError*>(warnings_.GetAt(index + 1)) : nullptr;
}

long LXErrorManager::GetNumErrors() const
{
    return errors_.GetSize();
}

long LXErrorManager::GetNumWarnings() const
{
    return warnings_.GetSize();
}
