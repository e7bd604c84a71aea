// LXError: one error or warning with named details, and LXErrorManager, the keeper
// of a runtime object's error and warning lists.
#pragma once

#include "lxra101/lxra101_export.h"
#include "lxra101/ptr_array.h"

class LXRA101_API LXError {
public:
    explicit LXError(long code);

    // Virtual operations in their published slot order (0 .. 6). Looking up a detail
    // that does not exist adds it (no string, integer 0). Detail names are compared
    // without case and keep at most 31 characters.
    virtual long GetCode();
    virtual const char* GetStrDetail(const char* name);
    virtual long GetIntDetail(const char* name);
    virtual void SetStrDetail(const char* name, const char* value);
    virtual void SetIntDetail(const char* name, long value);
    // "name=value" for every detail in insertion order, joined by ", ", stopping at
    // the first detail that does not fit in size bytes.
    virtual const char* GetDetails(char* buf, unsigned size);
    // The code's message, truncated to size - 1 characters; "" for an unknown code.
    virtual const char* GetDescription(char* buf, int size);

    // Declared after the published slots so that they keep their places.
    virtual ~LXError();

    LXError(const LXError&) = delete;
    LXError& operator=(const LXError&) = delete;

private:
    long code_;
    PtrArray details_;
};

class LXErrorManager {
public:
    // Appends a new error / warning with this code and returns it (null only when
    // memory is exhausted). The manager owns every record it hands out.
    LXRA101_API LXError* ThrowError(long code);
    LXRA101_API LXError* PostWarning(long code);

    // The members below serve the runtime itself and are not exported.
    LXErrorManager();
    ~LXErrorManager();
    LXErrorManager(const LXErrorManager&) = delete;
    LXErrorManager& operator=(const LXErrorManager&) = delete;

    void ClearErrors();
    void ClearWarnings();
    // Errors are walked newest first, warnings oldest first.
    LXError* GetLastError() const;
    LXError* GetPrevError(const LXError* error) const;
    LXError* GetFirstWarning() const;
    LXError* GetNextWarning(const LXError* warning) const;
    long GetNumErrors() const;
    long GetNumWarnings() const;

private:
    PtrArray errors_;
    PtrArray warnings_;
};
