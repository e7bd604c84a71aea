/* libFenrax.so: one greyscale fingerprint image of a size fixed at initialisation in, one
   DES-encrypted minutiae template of 256 or 400 bytes out. A C interface, usable from C
   and C++ hosts.

     FPD_initGlobal(width, height, 0, 400);      once; the geometry stays until released
     FPD_Process(image, templateOut, 0);         per image: FENRAX_OK, or 102 / 106
     FPD_freeGlobalMem();                        releases; a new geometry may follow

   The library keeps one extraction context per process and takes no lock: callers
   serialise their calls. Images are width x height bytes, row-major, top row first, dark
   ridges on a light background; the caller owns every buffer it passes. */
#ifndef FENRAX_FENRAX_H
#define FENRAX_FENRAX_H

#include <stdint.h>

#include "fenrax/fenrax_export.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    FENRAX_OK = 0,
    FENRAX_NOT_INITIALISED = 102, /* FPD_initGlobal never called in this process */
    FENRAX_NO_BUFFERS = 106,      /* working buffers not allocated (released, or refused) */
    FENRAX_VERSION = 1160         /* what FPD_GetExtVersion reports */
};

/* Fixes the image size and the template size (256: short template of at most 62
   minutiae; anything else: long template of 400 bytes and at most 92 minutiae). A second
   call while the buffers are allocated changes nothing and returns FENRAX_OK. A width or
   height outside 1..16384, or a failed allocation, is answered with FENRAX_NO_BUFFERS and
   leaves the buffers unallocated. The third argument is ignored. */
FENRAX_API int32_t FPD_initGlobal(int32_t width, int32_t height, int32_t ignored, int32_t templateSize);

/* Extracts one image into templateOut (templateSize bytes, encrypted). With bit 0 of
   debugFlags set, the intermediate images are written into the current folder ("enh.raw",
   "dir.dat", ...). FENRAX_NOT_INITIALISED before any FPD_initGlobal, FENRAX_NO_BUFFERS
   without buffers or with a null pointer; templateOut is then left untouched. */
FENRAX_API int32_t FPD_Process(const uint8_t* image, uint8_t* templateOut, int32_t debugFlags);

/* Releases the working buffers; FPD_Process answers FENRAX_NO_BUFFERS until the next
   FPD_initGlobal. */
FENRAX_API int32_t FPD_freeGlobalMem(void);

/* Does nothing; returns FENRAX_OK. */
FENRAX_API int32_t FPD_freeGlobal(void);

/* FENRAX_VERSION, whatever the state. */
FENRAX_API int32_t FPD_GetExtVersion(void);

#ifdef __cplusplus
}
#endif

#endif
