// Delivery of one pending event to the Java object inside getCallBacks.
#pragma once

#include <jni.h>

#include "event_exchange.h"

namespace dactisjava {

// Calls callbackStatus, callbackFinger or callbackImage on the object, or nothing for an
// unknown kind. A callback method the object's class lacks leaves NoSuchMethodError
// pending, and an exception of the callback method stays pending; neither is called
// through. An image whose size is negative, too large for a Java array, or without
// pixels is not delivered.
void DeliverToJava(JNIEnv* env, jobject receiver, const PendingEvent& event);

// A Java string of the SDK's 8-bit text: the text itself when it is valid modified UTF-8
// (ASCII always is), else each byte as one character (ISO-8859-1), so that no byte
// sequence can reach the virtual machine as malformed UTF-8. Null for a null text.
jstring JavaStringFromSdk(JNIEnv* env, const char* text);

}  // namespace dactisjava
