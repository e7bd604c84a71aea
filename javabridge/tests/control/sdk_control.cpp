// libDactisTestControl.so: the stand-in SDK's test controls for the Java tests, as the
// native methods of com.zembra.dactis.tests.SdkControl. Sensor identifiers come as bytes
// (a NUL is added here), so that tests can raise events with any 8-bit identifier.
#include <jni.h>

#include <vector>

#include "com_zembra_dactis_tests_SdkControl.h"
#include "dactis/dactis_testing.h"

namespace {

// The identifier's bytes with a NUL after them; empty for a null array.
std::vector<char> Identifier(JNIEnv* env, jbyteArray id)
{
    std::vector<char> text;
    if (id != nullptr) {
        text.resize(static_cast<size_t>(env->GetArrayLength(id)) + 1, '\0');
        env->GetByteArrayRegion(id, 0, static_cast<jsize>(text.size() - 1), reinterpret_cast<jbyte*>(text.data()));
    }
    return text;
}

const char* OrNull(const std::vector<char>& text)
{
    return text.empty() ? nullptr : text.data();
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_zembra_dactis_tests_SdkControl_setScreenAvailable(JNIEnv*, jclass, jboolean available)
{
    DcTestSetScreenAvailable(available ? 1 : 0);
}

JNIEXPORT jint JNICALL Java_com_zembra_dactis_tests_SdkControl_raiseStatus(JNIEnv* env, jclass, jbyteArray id,
                                                                           jint event)
{
    const std::vector<char> text = Identifier(env, id);
    return DcTestRaiseStatus(OrNull(text), event);
}

JNIEXPORT jint JNICALL Java_com_zembra_dactis_tests_SdkControl_raiseFinger(JNIEnv* env, jclass, jbyteArray id,
                                                                           jint event)
{
    const std::vector<char> text = Identifier(env, id);
    return DcTestRaiseFinger(OrNull(text), event);
}

JNIEXPORT jint JNICALL Java_com_zembra_dactis_tests_SdkControl_raiseImage(JNIEnv* env, jclass, jbyteArray id,
                                                                          jint width, jint height, jbyteArray image,
                                                                          jint resolution)
{
    const std::vector<char> text = Identifier(env, id);
    std::vector<unsigned char> pixels;
    if (image != nullptr) {
        pixels.resize(static_cast<size_t>(env->GetArrayLength(image)));
        env->GetByteArrayRegion(image, 0, static_cast<jsize>(pixels.size()), reinterpret_cast<jbyte*>(pixels.data()));
    }
    return DcTestRaiseImage(OrNull(text), width, height, image != nullptr ? pixels.data() : nullptr, resolution);
}

JNIEXPORT jint JNICALL Java_com_zembra_dactis_tests_SdkControl_raiseFromThreads(JNIEnv*, jclass, jint threads,
                                                                                jint eventsPerThread)
{
    return DcTestRaiseFromThreads(threads, eventsPerThread);
}

JNIEXPORT jint JNICALL Java_com_zembra_dactis_tests_SdkControl_liveDeviceContexts(JNIEnv*, jclass)
{
    return DcTestLiveDeviceContexts();
}

JNIEXPORT jint JNICALL Java_com_zembra_dactis_tests_SdkControl_liveBitmaps(JNIEnv*, jclass)
{
    return DcTestLiveBitmaps();
}

JNIEXPORT jlong JNICALL Java_com_zembra_dactis_tests_SdkControl_sdkCalls(JNIEnv*, jclass)
{
    return DcTestSdkCalls();
}

}  // extern "C"
