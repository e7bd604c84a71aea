/* libKestrixDLL.so: the fingerprint reader library.
 *
 * Call order: AlgoInit once; OpenTarnetDevice; GetTarnetImage until it returns 2 or 3;
 * CloseTarnetDevice. GetDeviceStatus, IsOperatingUsbMode and GetUSBKey open and close the
 * reader themselves and always leave it closed. Calls must not overlap: the library keeps
 * one reader connection per process and takes no lock. Buffers belong to the caller and
 * are not checked: an image is 101376 bytes (352 x 288 grey pixels, top row first).
 *
 * KESTRIX_VIRTUAL_READER=1 in the environment replaces the reader with a simulated one. */
#ifndef KESTRIX_KESTRIX_H
#define KESTRIX_KESTRIX_H

#include "kestrix/kestrix_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Image geometry: 352, 288, 101376; size of a feature record: 9456. */
KESTRIX_API short GetImgWidth(void);
KESTRIX_API short GetImgHeight(void);
KESTRIX_API int GetImgSize(void);
KESTRIX_API short GetFeatSize(void);

/* The reader connection: 1 on success, 0 on failure. */
KESTRIX_API int OpenTarnetDevice(void);
KESTRIX_API int CloseTarnetDevice(void);
/* Opens and closes the reader; 1 when it could be opened. */
KESTRIX_API int GetDeviceStatus(void);
/* Opens the reader, reads its mode byte (0..255), closes. */
KESTRIX_API int IsOperatingUsbMode(void);
/* Always 0; also exported as IsOperatingELVoltageMode. */
KESTRIX_API short IsOperatingClockMode(void);
KESTRIX_API short IsOperatingELVoltageMode(void);
/* Closes any connection, opens, reads the reader's 4-byte key (first byte least
 * significant), closes; 0 when the reader cannot be opened or the key cannot be read. */
KESTRIX_API int GetUSBKey(void);

/* Captures one image into a 101376-byte buffer:
 *   -1 no image (no connection, transfer failure); the buffer is untouched
 *    0 no finger, or the exposure control gave up
 *    1 finger present, image not yet good: call again
 *    2 good image
 *    3 acceptable image (bright, taken at the lowest gains) */
KESTRIX_API int GetTarnetImage(unsigned char* image);

/* Security levels 1..7. A put returns the level, or 0 (nothing changed) for a level out
 * of range. The two 404 puts change one shared setting. */
KESTRIX_API int PutSecurityLevel404vs404(short level);
KESTRIX_API int PutSecurityLevel404vs9052(short level);
KESTRIX_API int PutSecurityLevel9052vs9052(short level);
KESTRIX_API int GetSecurityLevel404vs404(void);
KESTRIX_API int GetSecurityLevel404vs9052(void);
KESTRIX_API int GetSecurityLevel9052vs9052(void);

/* Sets every security level back to 4; returns 1. */
KESTRIX_API short AlgoInit(void);

/* "DLL ver:...\nCap ver:...\nAlgo ver:..."; valid until the next call, not to be freed. */
KESTRIX_API const char* GetSDKVersion(void);

#ifdef __cplusplus
}
#endif

#endif
