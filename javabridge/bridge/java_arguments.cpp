#include "java_arguments.h"

#include <cstring>

namespace dactisjava {

void ThrowJava(JNIEnv* env, const char* className, const std::string& message) noexcept
{
    jclass type = env->FindClass(className);
    if (type == nullptr) {
        // FindClass left its own error pending.
        return;
    }
    env->ThrowNew(type, message.c_str());
    env->DeleteLocalRef(type);
}

int64_t ImageElements(jint width, jint height) noexcept
{
    return width > 0 && height > 0 ? static_cast<int64_t>(width) * height : 0;
}

Preconditions& Preconditions::NotNull(jobject value, const char* parameter)
{
    if (met_ && value == nullptr) {
        ThrowJava(env_, "java/lang/NullPointerException", std::string(parameter) + " is null");
        met_ = false;
    }
    return *this;
}

Preconditions& Preconditions::HoldsAtLeast(jarray array, int64_t needed, const char* parameter)
{
    if (met_ && array != nullptr) {
        const jsize length = env_->GetArrayLength(array);
        if (length < needed) {
            ThrowJava(env_, "java/lang/ArrayIndexOutOfBoundsException",
                      std::string(parameter) + " holds " + std::to_string(length) + " elements, the call needs " +
                          std::to_string(needed));
            met_ = false;
        }
    }
    return *this;
}

JavaElements::~JavaElements()
{
    for (size_t i = 0; i < count_; ++i) {
        const Held& held = held_[i];
        switch (held.kind) {
            case Kind::Chars:
                env_->ReleaseStringUTFChars(static_cast<jstring>(held.owner), static_cast<const char*>(held.elements));
                break;
            case Kind::Bytes:
                env_->ReleaseByteArrayElements(static_cast<jbyteArray>(held.owner), static_cast<jbyte*>(held.elements),
                                               0);
                break;
            case Kind::Ints:
                env_->ReleaseIntArrayElements(static_cast<jintArray>(held.owner), static_cast<jint*>(held.elements), 0);
                break;
        }
    }
}

bool JavaElements::Room()
{
    if (!failed_ && count_ == held_.size()) {
        ThrowJava(env_, "java/lang/Error", "too many arguments held for one call");
        failed_ = true;
    }
    return !failed_;
}

void* JavaElements::Keep(Kind kind, jobject owner, void* elements)
{
    if (elements == nullptr) {
        failed_ = true;  // the virtual machine threw OutOfMemoryError
        return nullptr;
    }
    held_[count_++] = {kind, owner, elements};
    return elements;
}

const char* JavaElements::Chars(jstring string)
{
    if (!Room()) {
        return nullptr;
    }
    return static_cast<const char*>(
        Keep(Kind::Chars, string, const_cast<char*>(env_->GetStringUTFChars(string, nullptr))));
}

unsigned char* JavaElements::Bytes(jbyteArray array)
{
    if (!Room()) {
        return nullptr;
    }
    return static_cast<unsigned char*>(Keep(Kind::Bytes, array, env_->GetByteArrayElements(array, nullptr)));
}

int* JavaElements::Ints(jintArray array)
{
    if (!Room()) {
        return nullptr;
    }
    static_assert(sizeof(jint) == sizeof(int));
    return static_cast<int*>(Keep(Kind::Ints, array, env_->GetIntArrayElements(array, nullptr)));
}

SdkTemplate::SdkTemplate(const unsigned char* elements, jsize length) : data_(elements)
{
    if (length < static_cast<jsize>(padded_.size())) {
        std::memcpy(padded_.data(), elements, static_cast<size_t>(length));
        data_ = padded_.data();
    }
}

}  // namespace dactisjava
