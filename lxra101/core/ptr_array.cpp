#include "lxra101/ptr_array.h"

#include <cstring>
#include <limits>
#include <new>

namespace {

// Makes room for one more item: 16 slots at first, then twice as many. The items move
// to the new block. False when the block cannot be enlarged; the array is unchanged.
bool GrowForOneMore(void**& items, int32_t count, int32_t& capacity)
{
    if (count < capacity) {
        return true;
    }
    if (capacity > std::numeric_limits<int32_t>::max() / 2) {
        return false;
    }
    const int32_t newCapacity = capacity == 0 ? 16 : capacity * 2;
    void** newItems = new (std::nothrow) void*[newCapacity];
    if (newItems == nullptr) {
        return false;
    }
    if (count > 0) {
        std::memcpy(newItems, items, sizeof(void*) * count);
    }
    delete[] items;
    items = newItems;
    capacity = newCapacity;
    return true;
}

}  // namespace

PtrArray::PtrArray() : items_(nullptr), count_(0), capacity_(0) {}

PtrArray::~PtrArray()
{
    delete[] items_;
}

long PtrArray::Add(void* p)
{
    if (!GrowForOneMore(items_, count_, capacity_)) {
        return -1;
    }
    items_[count_] = p;
    return count_++;
}

long PtrArray::InsertAt(long index, void* p)
{
    if (index == -1) {
        return Add(p);
    }
    if (index < 0 || index > count_) {
        return -1;
    }
    if (!GrowForOneMore(items_, count_, capacity_)) {
        return -1;
    }
    std::memmove(items_ + index + 1, items_ + index, sizeof(void*) * (count_ - index));
    items_[index] = p;
    return count_++;
}

void* PtrArray::GetAt(long index) const
{
    if (index < 0 || index >= count_) {
        return nullptr;
    }
    return items_[index];
}

long PtrArray::SetAt(long index, void* p)
{
    if (index < 0 || index >= count_) {
        return 0;
    }
    items_[index] = p;
    return index;
}

long PtrArray::GetSize() const
{
    return count_;
}

long PtrArray::GetUpperBound() const
{
    return count_ - 1;
}

void PtrArray::RemoveAt(long index)
{
    if (index < 0 || index >= count_) {
        return;
    }
    std::memmove(items_ + index, items_ + index + 1, sizeof(void*) * (count_ - index - 1));
    --count_;
}

void PtrArray::RemoveAll()
{
    count_ = 0;
}
