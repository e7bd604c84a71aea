// The SDK's capture functions: sensors and their callbacks, image files, grey bitmaps.
#include <string>

#include "biometrics/biometric_display.h"
#include "capture/capture_service.h"
#include "core/grey_view.h"
#include "core/guarded.h"
#include "dactis/dactis.h"
#include "image/image_file.h"

using namespace dactis;

extern "C" {

DACTIS_API int DcCapInitialize(DcStatusCallback statusCallback)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] { return CaptureService::Instance().Initialize(statusCallback); });
}

DACTIS_API int DcCapFinalize(void)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [] { return CaptureService::Instance().Finalize(); });
}

DACTIS_API int DcCapStartCapture(const char* idSensor, DcFingerCallback fingerCallback, DcImageCallback imageCallback)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (idSensor == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        return CaptureService::Instance().Start(idSensor, fingerCallback, imageCallback);
    });
}

DACTIS_API int DcCapStopCapture(const char* idSensor)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (idSensor == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        return CaptureService::Instance().Stop(idSensor);
    });
}

DACTIS_API int DcCapSaveRawImageToFile(const unsigned char* rawImage, int width, int height, const char* fileName,
                                       int format)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (fileName == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        int result = DC_OK;
        const GreyView view = CallerImage(rawImage, width, height, 1, result);
        if (result != DC_OK) {
            return result;
        }
        fpsynth::GreyImage image(width, height);
        image.pixels.assign(view.pixels.begin(), view.pixels.end());
        return SaveGreyImage(image, fileName, format);
    });
}

DACTIS_API int DcCapLoadImageFromFile(const char* fileName, int resolution)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (fileName == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        if (resolution < DC_MIN_RESOLUTION || resolution > DC_MAX_RESOLUTION) {
            return DC_ERROR_INVALID_RESOLUTION;
        }
        const RegisteredCallbacks callbacks = CaptureService::Instance().Callbacks();
        if (!callbacks.initialized) {
            return DC_ERROR_CAPTURE_NOT_INITIALIZED;
        }
        if (callbacks.image == nullptr) {
            return DC_ERROR_NO_IMAGE_CALLBACK;
        }
        LoadedImage loaded = LoadGreyImage(fileName);
        if (loaded.result != DC_OK) {
            return loaded.result;
        }
        return CaptureService::Instance().QueueImage(std::move(loaded.image), resolution);
    });
}

DACTIS_API int DcCapRawImageToHandle(const unsigned char* rawImage, int width, int height, BmDeviceContext dc,
                                     BmBitmap* bitmap)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (bitmap == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        int result = DC_OK;
        const GreyView image = CallerImage(rawImage, width, height, 1, result);
        if (result != DC_OK) {
            return result;
        }
        return DrawGreyBitmap(image, dc, bitmap);
    });
}

}  // extern "C"
