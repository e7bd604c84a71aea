#include "java_events.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace dactisjava {
namespace {

// Lead and continuation bytes of one- to three-byte sequences; the virtual machine's
// strings have no four-byte form.
bool IsModifiedUtf8(const unsigned char* text)
{
    while (*text != 0) {
        const unsigned char lead = *text++;
        int continuation = 0;
        if (lead < 0x80) {
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            continuation = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            continuation = 2;
        } else {
            return false;
        }
        for (int i = 0; i < continuation; ++i) {
            if ((*text++ & 0xC0) != 0x80) {
                return false;
            }
        }
    }
    return true;
}

void CallStatusLike(JNIEnv* env, jobject receiver, jclass type, const char* method, jstring id, jint event)
{
    const jmethodID callback = env->GetMethodID(type, method, "(Ljava/lang/String;I)V");
    if (callback != nullptr) {
        env->CallVoidMethod(receiver, callback, id, event);
    }
}

void CallImage(JNIEnv* env, jobject receiver, jclass type, jstring id, const PendingEvent& event)
{
    const jmethodID callback = env->GetMethodID(type, "callbackImage", "(Ljava/lang/String;II[BI)V");
    if (callback == nullptr) {
        return;
    }
    const int64_t size = static_cast<int64_t>(event.width) * event.height;
    if (event.width < 0 || event.height < 0 || size > std::numeric_limits<jsize>::max() ||
        (size > 0 && event.rawImage == nullptr)) {
        return;
    }
    const jbyteArray image = env->NewByteArray(static_cast<jsize>(size));
    if (image == nullptr) {
        return;
    }
    if (size > 0) {
        env->SetByteArrayRegion(image, 0, static_cast<jsize>(size), reinterpret_cast<const jbyte*>(event.rawImage));
    }
    env->CallVoidMethod(receiver, callback, id, event.width, event.height, image, event.resolution);
}

}  // namespace

jstring JavaStringFromSdk(JNIEnv* env, const char* text)
{
    if (text == nullptr) {
        return nullptr;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (IsModifiedUtf8(bytes)) {
        return env->NewStringUTF(text);
    }
    const size_t length = std::strlen(text);
    if (length > static_cast<size_t>(std::numeric_limits<jsize>::max())) {
        return nullptr;
    }
    std::vector<jchar> characters(bytes, bytes + length);
    return env->NewString(characters.data(), static_cast<jsize>(length));
}

void DeliverToJava(JNIEnv* env, jobject receiver, const PendingEvent& event)
{
    const jclass type = env->GetObjectClass(receiver);
    const jstring id = JavaStringFromSdk(env, event.idSensor);
    if (env->ExceptionCheck()) {
        return;
    }
    switch (event.kind) {
        case EventKind::Status:
            CallStatusLike(env, receiver, type, "callbackStatus", id, event.event);
            break;
        case EventKind::Finger:
            CallStatusLike(env, receiver, type, "callbackFinger", id, event.event);
            break;
        case EventKind::Image:
            CallImage(env, receiver, type, id, event);
            break;
    }
}

}  // namespace dactisjava
