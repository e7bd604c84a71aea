/* libdactis.so: the fingerprint SDK that the Java bridge libDactisJava.so forwards to.

   Two layers:
   - capture (DcCap...): sensors, each raising its events through callbacks on a thread of
     the SDK's own; image files; grey images as bitmaps;
   - biometrics: contexts, extraction of minutiae templates from grey images, verification
     (one template against another), identification (one prepared template against many),
     matching parameters and the drawing of a template's minutiae over its image.

   Every function returns an int: 0 or more on success (DC_OK, or DC_MATCH / DC_NOT_MATCH
   for the comparisons), a negative DC_ERROR_... code on failure. Nothing is written
   through an out-parameter on failure. Buffers belong to the caller. Every function may be
   called from any thread; the callbacks are called on the SDK's capture thread, one at a
   time, and the strings and images they receive stay valid until they return.

   Images are 8-bit grey, width x height bytes, the top row first, no padding. */
#ifndef DACTIS_DACTIS_H
#define DACTIS_DACTIS_H

#include "dactis/bitmap.h"
#include "dactis/dactis_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Results ---------------------------------------------------------------------- */

#define DC_OK 0
#define DC_NOT_MATCH 0
#define DC_MATCH 1

#define DC_ERROR_NOT_INITIALIZED (-1)          /* DcInitialize was not called, or DcFinalize was */
#define DC_ERROR_INVALID_ARGUMENT (-2)         /* a null pointer or a value out of its range */
#define DC_ERROR_INVALID_CONTEXT (-3)          /* no context has that id */
#define DC_ERROR_TOO_MANY_CONTEXTS (-4)        /* DC_MAX_CONTEXTS are in use */
#define DC_ERROR_INVALID_IMAGE_SIZE (-5)       /* a side outside DC_MIN_IMAGE_SIDE..DC_MAX_IMAGE_SIDE */
#define DC_ERROR_INVALID_RESOLUTION (-6)       /* outside DC_MIN_RESOLUTION..DC_MAX_RESOLUTION */
#define DC_ERROR_POOR_IMAGE (-7)               /* fewer than DC_MIN_MINUTIAE minutiae found */
#define DC_ERROR_INVALID_TEMPLATE (-8)         /* not a template of this SDK, or damaged */
#define DC_ERROR_NOT_PREPARED (-9)             /* DcIdentify before DcIdentifyPrepare on the context */
#define DC_ERROR_CAPTURE_NOT_INITIALIZED (-10) /* DcCapInitialize was not called, or DcCapFinalize was */
#define DC_ERROR_UNKNOWN_SENSOR (-11)          /* no sensor has that identifier */
#define DC_ERROR_NO_IMAGE_CALLBACK (-12)       /* an image file was loaded before any capture was started */
#define DC_ERROR_FILE (-13)                    /* the file cannot be read or written */
#define DC_ERROR_FILE_FORMAT (-14)             /* the file is not an image this SDK reads */
#define DC_ERROR_INVALID_FORMAT (-15)          /* an unknown DC_IMAGE_FORMAT_ code */
#define DC_ERROR_BITMAP (-16)                  /* no bitmap could be made on the device context */
#define DC_ERROR_WRONG_THREAD (-17)            /* DcCapFinalize from inside a capture callback */
#define DC_ERROR_OUT_OF_MEMORY (-18)           /* the SDK could not get the memory it needed */

/* ---- Limits and defaults ---------------------------------------------------------- */

#define DC_MAX_TEMPLATE_SIZE 2048 /* every template fits in a buffer of this many bytes */
#define DC_MIN_MINUTIAE 8
#define DC_MAX_MINUTIAE 200
#define DC_MIN_IMAGE_SIDE 16 /* for extraction; bitmaps and files take any side from 1 */
#define DC_MAX_IMAGE_SIDE 4096
#define DC_MIN_RESOLUTION 125 /* dots per inch */
#define DC_MAX_RESOLUTION 1000
#define DC_DEFAULT_CONTEXT 0 /* exists from DcInitialize to DcFinalize */
#define DC_MAX_CONTEXTS 64   /* the default context included */

/* Matching parameters: the score a comparison needs to match (DC_MIN_THRESHOLD to
   DC_MAX_THRESHOLD) and the largest rotation between the two prints it allows, in degrees
   (0 to DC_MAX_ROTATION). Each context keeps one pair for verification and one for
   identification. */
#define DC_MIN_THRESHOLD 1
#define DC_MAX_THRESHOLD 100
#define DC_MAX_ROTATION 180
#define DC_DEFAULT_VERIFY_THRESHOLD 30
#define DC_DEFAULT_VERIFY_ROTATION 60
#define DC_DEFAULT_IDENTIFY_THRESHOLD 35
#define DC_DEFAULT_IDENTIFY_ROTATION 60

#define DC_VERSION_MAJOR 3
#define DC_VERSION_MINOR 1

/* ---- Capture events --------------------------------------------------------------- */

/* Status events: a sensor became available (raised for every sensor once DcCapInitialize
   has run) or went away. */
#define DC_STATUS_SENSOR_PLUGGED 10
#define DC_STATUS_SENSOR_UNPLUGGED 11
/* Finger events of a capturing sensor: a finger was placed, or lifted. */
#define DC_FINGER_DOWN 20
#define DC_FINGER_UP 21

/* The sensor identifier of images delivered by DcCapLoadImageFromFile. */
#define DC_FILE_SENSOR_ID "File"

typedef void (*DcStatusCallback)(const char* idSensor, int event);
typedef void (*DcFingerCallback)(const char* idSensor, int event);
typedef void (*DcImageCallback)(const char* idSensor, int width, int height, const unsigned char* rawImage,
                                int resolution);

/* ---- Image files ------------------------------------------------------------------ */

#define DC_IMAGE_FORMAT_BMP 0 /* 8-bit grey with a grey palette */
#define DC_IMAGE_FORMAT_PNG 1 /* 8-bit grey */
#define DC_IMAGE_FORMAT_PGM 2 /* binary (P5), maximum 255 */

/* ---- Capture layer ---------------------------------------------------------------- */

/* Starts the capture thread and registers the status callback (null: no status events).
   Every sensor is then announced with DC_STATUS_SENSOR_PLUGGED. Called again, it only
   replaces the callback. */
DACTIS_API int DcCapInitialize(DcStatusCallback statusCallback);
/* Stops every capture and the capture thread (after the callback in progress returns).
   DC_ERROR_WRONG_THREAD when called from inside a callback. */
DACTIS_API int DcCapFinalize(void);
/* Starts capturing on the sensor: finger and image events follow on the capture thread
   (either callback may be null). Called on a capturing sensor, it replaces the callbacks. */
DACTIS_API int DcCapStartCapture(const char* idSensor, DcFingerCallback fingerCallback, DcImageCallback imageCallback);
/* Stops capturing on the sensor; no event of it follows once this returns, except one
   already being delivered. DC_OK when it was not capturing. */
DACTIS_API int DcCapStopCapture(const char* idSensor);
/* Writes the image to a file in the format given. */
DACTIS_API int DcCapSaveRawImageToFile(const unsigned char* rawImage, int width, int height, const char* fileName,
                                       int format);
/* Reads a BMP (8-bit paletted or 24-bit, uncompressed), PNG (8-bit grey) or PGM file and
   delivers its image, as grey, through the image callback that DcCapStartCapture
   registered last, on the capture thread, with the identifier DC_FILE_SENSOR_ID and the
   resolution given. Returns once the image is queued. */
DACTIS_API int DcCapLoadImageFromFile(const char* fileName, int resolution);
/* Makes an 8-bit grey bitmap of the image on the device context and hands its handle out
   through bitmap; the caller deletes it with BmDeleteBitmap. */
DACTIS_API int DcCapRawImageToHandle(const unsigned char* rawImage, int width, int height, BmDeviceContext dc,
                                     BmBitmap* bitmap);

/* ---- Biometrics ------------------------------------------------------------------- */

DACTIS_API int DcInitialize(void); /* creates the default context; again: DC_OK, nothing changes */
DACTIS_API int DcFinalize(void);   /* destroys every context */
DACTIS_API int DcCreateContext(int* contextId);
DACTIS_API int DcDestroyContext(int contextId); /* the default context cannot be destroyed */

/* Finds the minutiae of the image and writes their template (at most DC_MAX_TEMPLATE_SIZE
   bytes) and its size in bytes. */
DACTIS_API int DcExtract(const unsigned char* rawImage, int width, int height, int resolution, unsigned char* tpt,
                         int* tptSize, int context);
/* Compares two templates with the context's verification parameters; writes the score
   (0 to 100) and returns DC_MATCH when it reaches the threshold, else DC_NOT_MATCH. */
DACTIS_API int DcVerify(const unsigned char* queryTemplate, const unsigned char* referenceTemplate, int* verifyScore,
                        int context);
/* Keeps a copy of the template as the context's query for the DcIdentify calls that follow. */
DACTIS_API int DcIdentifyPrepare(const unsigned char* tpt, int context);
/* Compares the prepared query with one reference template, with the context's
   identification parameters; score and result as for DcVerify. */
DACTIS_API int DcIdentify(const unsigned char* tpt, int* identifyScore, int context);
DACTIS_API int DcSetIdentifyParameters(int threshold, int rotationMax, int context);
DACTIS_API int DcSetVerifyParameters(int threshold, int rotationMax, int context);
DACTIS_API int DcGetIdentifyParameters(int* threshold, int* rotationMax, int context);
DACTIS_API int DcGetVerifyParameters(int* threshold, int* rotationMax, int context);
DACTIS_API int DcGetDactisVersion(unsigned char* majorVersion, unsigned char* minorVersion);

/* Draws the image in grey with the template's minutiae over it into a new 24-bit bitmap on
   the device context: a line to each minutia's nearest neighbour (segments), a short line
   along its direction (directions) and a 3 x 3 square on it (minutiae). Minutiae that the
   context's last DcVerify or DcIdentify paired, when the template is one of the two it
   compared, take the matched colours. */
DACTIS_API int DcBiometricDisplay(const unsigned char* tpt, const unsigned char* rawImage, int width, int height,
                                  int resolution, BmDeviceContext dc, BmBitmap* bitmap, int context);
/* Colours as 0x00RRGGBB, or DC_COLOR_NONE to leave that element out. The defaults are red,
   green, blue, light blue, yellow and orange, in the order of the parameters. */
#define DC_COLOR_NONE (-1)
DACTIS_API int DcSetBiometricDisplayColors(int minutiaeColor, int minutiaeMatchColor, int segmentsColor,
                                           int segmentsMatchColor, int directionsColor, int directionsMatchColor);

#ifdef __cplusplus
}
#endif

#endif
