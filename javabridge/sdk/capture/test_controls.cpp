// The test controls of dactis_testing.h.
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "capture/capture_service.h"
#include "core/call_counter.h"
#include "dactis/dactis.h"
#include "dactis/dactis_testing.h"
#include "screen/bitmaps.h"

using namespace dactis;

namespace {

constexpr int kMaxThreads = 64;
constexpr int kMaxEventsPerThread = 1000000;

// Event i of thread t, as dactis_testing.h describes it.
void RaiseThreadEvent(const RegisteredCallbacks& callbacks, int t, int i, std::vector<unsigned char>& image)
{
    const std::string id = "thread-" + std::to_string(t);
    switch (i % 3) {
        case 0:
            callbacks.status(id.c_str(), i);
            break;
        case 1:
            callbacks.finger(id.c_str(), i);
            break;
        default: {
            const int width = 8;
            const int height = 2 + t;
            image.resize(static_cast<size_t>(width * height));
            for (size_t k = 0; k < image.size(); ++k) {
                image[k] = static_cast<unsigned char>((static_cast<size_t>(i) + k) & 0xFF);
            }
            callbacks.image(id.c_str(), width, height, image.data(), i);
            break;
        }
    }
}

}  // namespace

extern "C" {

DACTIS_API void DcTestSetScreenAvailable(int available)
{
    SetScreenAvailable(available != 0);
}

DACTIS_API int DcTestRaiseStatus(const char* idSensor, int event)
{
    const RegisteredCallbacks callbacks = CaptureService::Instance().Callbacks();
    if (!callbacks.initialized || callbacks.status == nullptr) {
        return DC_ERROR_CAPTURE_NOT_INITIALIZED;
    }
    callbacks.status(idSensor, event);
    return DC_OK;
}

DACTIS_API int DcTestRaiseFinger(const char* idSensor, int event)
{
    const RegisteredCallbacks callbacks = CaptureService::Instance().Callbacks();
    if (callbacks.finger == nullptr) {
        return DC_ERROR_NO_IMAGE_CALLBACK;
    }
    callbacks.finger(idSensor, event);
    return DC_OK;
}

DACTIS_API int DcTestRaiseImage(const char* idSensor, int width, int height, const unsigned char* rawImage,
                                int resolution)
{
    const RegisteredCallbacks callbacks = CaptureService::Instance().Callbacks();
    if (callbacks.image == nullptr) {
        return DC_ERROR_NO_IMAGE_CALLBACK;
    }
    callbacks.image(idSensor, width, height, rawImage, resolution);
    return DC_OK;
}

DACTIS_API int DcTestRaiseFromThreads(int threads, int eventsPerThread)
{
    if (threads < 1 || threads > kMaxThreads || eventsPerThread < 0 || eventsPerThread > kMaxEventsPerThread) {
        return DC_ERROR_INVALID_ARGUMENT;
    }
    const RegisteredCallbacks callbacks = CaptureService::Instance().Callbacks();
    if (!callbacks.initialized || callbacks.status == nullptr) {
        return DC_ERROR_CAPTURE_NOT_INITIALIZED;
    }
    if (callbacks.finger == nullptr || callbacks.image == nullptr) {
        return DC_ERROR_NO_IMAGE_CALLBACK;
    }
    std::vector<std::thread> raisers;
    try {
        raisers.reserve(static_cast<size_t>(threads));
    } catch (...) {
        return DC_ERROR_OUT_OF_MEMORY;
    }
    std::latch start(threads);
    int result = DC_OK;
    for (int t = 0; t < threads; ++t) {
        try {
            raisers.emplace_back([&callbacks, &start, eventsPerThread, t] {
                std::vector<unsigned char> image;
                start.arrive_and_wait();
                for (int i = 0; i < eventsPerThread; ++i) {
                    RaiseThreadEvent(callbacks, t, i, image);
                }
            });
        } catch (...) {
            // The threads already started must not wait for the ones that never will.
            start.count_down(threads - t);
            result = DC_ERROR_OUT_OF_MEMORY;
            break;
        }
    }
    for (std::thread& raiser : raisers) {
        raiser.join();
    }
    return result;
}

DACTIS_API int DcTestLiveDeviceContexts(void)
{
    return LiveDeviceContexts();
}

DACTIS_API int DcTestLiveBitmaps(void)
{
    return LiveBitmaps();
}

DACTIS_API long DcTestSdkCalls(void)
{
    return SdkCalls();
}

}  // extern "C"
