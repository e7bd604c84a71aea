#include "screen/bitmaps.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "core/immortal.h"

struct BmDeviceContextRec {
    int unused = 0;
};

struct BmBitmapRec {
    int32_t width = 0;
    int32_t height = 0;
    int32_t widthBytes = 0;
    int32_t bitsPerPixel = 0;
    std::vector<uint8_t> bits;
};

namespace dactis {
namespace {

constexpr int32_t kMaxBitmapSide = 16384;

struct Store {
    std::mutex mutex;
    std::map<BmDeviceContext, std::unique_ptr<BmDeviceContextRec>> contexts;
    std::map<BmBitmap, std::unique_ptr<BmBitmapRec>> bitmaps;
};

Store& TheStore()
{
    static Immortal<Store> store;
    return store.get();
}

std::atomic<bool> screenAvailable{true};

}  // namespace

bool IsDeviceContext(BmDeviceContext dc)
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return store.contexts.count(dc) != 0;
}

int64_t BitmapWidthBytes(int64_t width, int32_t bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

void SetScreenAvailable(bool available)
{
    screenAvailable = available;
}

int LiveDeviceContexts()
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return static_cast<int>(store.contexts.size());
}

int LiveBitmaps()
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return static_cast<int>(store.bitmaps.size());
}

}  // namespace dactis

using dactis::TheStore;

extern "C" {

DACTIS_API BmDeviceContext BmGetScreenDC(void)
{
    if (!dactis::screenAvailable) {
        return nullptr;
    }
    try {
        auto context = std::make_unique<BmDeviceContextRec>();
        BmDeviceContext handle = context.get();
        dactis::Store& store = TheStore();
        std::lock_guard lock(store.mutex);
        store.contexts.emplace(handle, std::move(context));
        return handle;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

DACTIS_API int BmReleaseDC(BmDeviceContext dc)
{
    dactis::Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return store.contexts.erase(dc) != 0 ? 1 : 0;
}

DACTIS_API BmBitmap BmCreateBitmap(BmDeviceContext dc, int32_t width, int32_t height, int32_t bitsPerPixel)
{
    if (width < 1 || height < 1 || width > dactis::kMaxBitmapSide || height > dactis::kMaxBitmapSide ||
        (bitsPerPixel != 8 && bitsPerPixel != 24) || !dactis::IsDeviceContext(dc)) {
        return nullptr;
    }
    try {
        auto bitmap = std::make_unique<BmBitmapRec>();
        bitmap->width = width;
        bitmap->height = height;
        bitmap->bitsPerPixel = bitsPerPixel;
        bitmap->widthBytes = static_cast<int32_t>(dactis::BitmapWidthBytes(width, bitsPerPixel));
        bitmap->bits.assign(static_cast<size_t>(bitmap->widthBytes) * static_cast<size_t>(height), 0);
        BmBitmap handle = bitmap.get();
        dactis::Store& store = TheStore();
        std::lock_guard lock(store.mutex);
        store.bitmaps.emplace(handle, std::move(bitmap));
        return handle;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

DACTIS_API int BmGetBitmapInfo(BmBitmap bitmap, BmBitmapInfo* info)
{
    if (info == nullptr) {
        return 0;
    }
    dactis::Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    const auto found = store.bitmaps.find(bitmap);
    if (found == store.bitmaps.end()) {
        return 0;
    }
    BmBitmapRec& rec = *found->second;
    info->width = rec.width;
    info->height = rec.height;
    info->widthBytes = rec.widthBytes;
    info->bitsPerPixel = rec.bitsPerPixel;
    info->bits = rec.bits.data();
    return 1;
}

DACTIS_API int BmDeleteBitmap(BmBitmap bitmap)
{
    dactis::Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return store.bitmaps.erase(bitmap) != 0 ? 1 : 0;
}

}  // extern "C"
