// What a native method does with its Java arguments: the checks made before anything is
// obtained (a null or a too short array throws a Java exception and the SDK is not
// called), and the strings' characters and arrays' elements held for the SDK call.
#pragma once

#include <jni.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "dactis/dactis.h"

namespace dactisjava {

// Leaves a Java exception of the class pending (an Error when the class cannot be found).
void ThrowJava(JNIEnv* env, const char* className, const std::string& message) noexcept;

// width x height as the number of bytes an image needs; 0 when a side is not positive
// (the SDK refuses such sizes itself, without reading).
int64_t ImageElements(jint width, jint height) noexcept;

// Each failed check leaves one Java exception pending; the checks after it do nothing.
class Preconditions {
public:
    explicit Preconditions(JNIEnv* env) : env_(env) {}

    // java.lang.NullPointerException naming the parameter.
    Preconditions& NotNull(jobject value, const char* parameter);
    // java.lang.ArrayIndexOutOfBoundsException when the array has fewer than `needed`
    // elements. A null array is left to NotNull.
    Preconditions& HoldsAtLeast(jarray array, int64_t needed, const char* parameter);

    bool Met() const { return met_; }

private:
    JNIEnv* env_;
    bool met_ = true;
};

// Characters and elements obtained for one SDK call and released, in the order they were
// obtained, when the holder goes: strings with ReleaseStringUTFChars, arrays with mode 0
// so that what the SDK wrote is copied back into the Java arrays.
class JavaElements {
public:
    explicit JavaElements(JNIEnv* env) : env_(env) {}
    ~JavaElements();
    JavaElements(const JavaElements&) = delete;
    JavaElements& operator=(const JavaElements&) = delete;

    const char* Chars(jstring string);
    unsigned char* Bytes(jbyteArray array);
    int* Ints(jintArray array);
    // False when the virtual machine could not give one of them (an exception is pending).
    bool Obtained() const { return !failed_; }

private:
    enum class Kind { Chars, Bytes, Ints };
    struct Held {
        Kind kind = Kind::Chars;
        jobject owner = nullptr;
        void* elements = nullptr;
    };
    bool Room();
    void* Keep(Kind kind, jobject owner, void* elements);

    JNIEnv* env_;
    std::array<Held, 4> held_{};  // no method passes more than three
    size_t count_ = 0;
    bool failed_ = false;
};

// A template handed to the SDK, which reads a template's size from its header and takes no
// length: an array shorter than the largest template is copied, zero-padded, into a
// buffer of that size, so that a short or damaged template is refused by the SDK instead
// of being read past the end of the array.
class SdkTemplate {
public:
    SdkTemplate(const unsigned char* elements, jsize length);
    const unsigned char* get() const { return data_; }

private:
    std::array<unsigned char, DC_MAX_TEMPLATE_SIZE> padded_{};
    const unsigned char* data_;
};

}  // namespace dactisjava
