// The one export macro of libDactisJava.so: only the JNI names of the native methods are
// visible; everything else has hidden visibility.
#pragma once

#include <jni.h>

#define DACTISJAVA_API JNIEXPORT
