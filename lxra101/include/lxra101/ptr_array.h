// PtrArray: a growable array of untyped pointers. It owns its slots, never the
// objects they point to.
#pragma once

#include <cstdint>

#include "lxra101/lxra101_export.h"

class LXRA101_API PtrArray {
public:
    PtrArray();
    virtual ~PtrArray();
    PtrArray(const PtrArray&) = delete;
    PtrArray& operator=(const PtrArray&) = delete;

    // Appends p and returns its index; -1 when the slots cannot be enlarged.
    long Add(void* p);
    // Index -1 appends. Otherwise 0 <= index <= size: the items from index on move up one
    // place and p takes index. Returns the number of items held before the insertion,
    // or -1 for an index outside that range or when the slots cannot be enlarged.
    long InsertAt(long index, void* p);
    // Null outside 0 .. size - 1.
    void* GetAt(long index) const;
    // Returns index; outside 0 .. size - 1 nothing is stored and the result is 0.
    long SetAt(long index, void* p);
    long GetSize() const;
    long GetUpperBound() const;
    // Closes the gap; an index outside the range is ignored.
    void RemoveAt(long index);
    // Empties the array and keeps its slots for reuse.
    void RemoveAll();

private:
    void** items_;
    int32_t count_;
    int32_t capacity_;
};
