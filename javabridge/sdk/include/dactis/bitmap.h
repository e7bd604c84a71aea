/* The small bitmap API that the SDK and its Java bridge share, in place of a window
   system's device contexts and bitmaps.

   A device context stands for the screen; bitmaps are made "compatible" with one. A bitmap
   is width x height pixels of 8 bits (grey: the byte is the grey level) or 24 bits (blue,
   green, red bytes), stored as bottom-up rows, each row padded to a multiple of 4 bytes.
   Handles are checked: a handle that was never handed out, or was already released or
   deleted, is refused (result 0) instead of being used. */
#ifndef DACTIS_BITMAP_H
#define DACTIS_BITMAP_H

#include <stdint.h>

#include "dactis/dactis_export.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct BmDeviceContextRec* BmDeviceContext;
typedef struct BmBitmapRec* BmBitmap;

typedef struct BmBitmapInfo {
    int32_t width;
    int32_t height;
    int32_t widthBytes;   /* bytes in one row, padding included: a multiple of 4 */
    int32_t bitsPerPixel; /* 8 or 24 */
    uint8_t* bits;        /* height * widthBytes bytes, the bottom row first */
} BmBitmapInfo;

/* A device context of the whole screen, or null when none can be had. Each one is given
   back with BmReleaseDC. */
DACTIS_API BmDeviceContext BmGetScreenDC(void);
/* 1 when released, 0 for an unknown handle. */
DACTIS_API int BmReleaseDC(BmDeviceContext dc);

/* A bitmap compatible with the device context, every byte 0 (black). Null for an unknown
   device context, a side outside 1..16384, a depth other than 8 or 24, or no memory. */
DACTIS_API BmBitmap BmCreateBitmap(BmDeviceContext dc, int32_t width, int32_t height, int32_t bitsPerPixel);
/* Fills info and returns 1; 0 (info untouched) for an unknown bitmap. The bits stay valid
   until the bitmap is deleted. */
DACTIS_API int BmGetBitmapInfo(BmBitmap bitmap, BmBitmapInfo* info);
/* 1 when deleted, 0 for an unknown handle. */
DACTIS_API int BmDeleteBitmap(BmBitmap bitmap);

#ifdef __cplusplus
}
#endif

#endif
