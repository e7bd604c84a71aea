/* Controls of the stand-in SDK for tests of the programs built on it: a failing screen,
   events raised on demand (on the caller's thread or on several threads at once), and
   counters that show what a caller did or left undone. Not part of the SDK's contract. */
#ifndef DACTIS_DACTIS_TESTING_H
#define DACTIS_DACTIS_TESTING_H

#include "dactis/dactis_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* 0: BmGetScreenDC returns null from now on; 1: it works again (the default). */
DACTIS_API void DcTestSetScreenAvailable(int available);

/* Raise one event through the callbacks registered last (the status callback of
   DcCapInitialize, the finger and image callbacks of DcCapStartCapture), on the calling
   thread, returning when the callback has returned. DC_ERROR_NO_IMAGE_CALLBACK (or
   DC_ERROR_CAPTURE_NOT_INITIALIZED for status) when no such callback is registered. */
DACTIS_API int DcTestRaiseStatus(const char* idSensor, int event);
DACTIS_API int DcTestRaiseFinger(const char* idSensor, int event);
DACTIS_API int DcTestRaiseImage(const char* idSensor, int width, int height, const unsigned char* rawImage,
                                int resolution);

/* Starts `threads` threads at once; thread t raises `eventsPerThread` events, event i of
   them with the identifier "thread-<t>":
     i % 3 == 0: status (event i),
     i % 3 == 1: finger (event i),
     i % 3 == 2: image of width 8 and height 2 + t, byte k equal to (i + k) & 0xFF, with
                 resolution i.
   Returns once every thread has finished (DC_OK), or a negative result of the first
   failure. */
DACTIS_API int DcTestRaiseFromThreads(int threads, int eventsPerThread);

/* Device contexts and bitmaps handed out and not yet released or deleted. */
DACTIS_API int DcTestLiveDeviceContexts(void);
DACTIS_API int DcTestLiveBitmaps(void);
/* Calls of the SDK's DcCap... and Dc... functions since the library was loaded (the test
   controls not counted). */
DACTIS_API long DcTestSdkCalls(void);

#ifdef __cplusplus
}
#endif

#endif
