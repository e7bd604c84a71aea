package com.zembra.dactis.tests;

/** The stand-in SDK's test controls (libDactisTestControl.so over dactis_testing.h). */
final class SdkControl {
    static {
        System.loadLibrary("DactisTestControl");
    }

    private SdkControl() {
    }

    static native void setScreenAvailable(boolean available);

    /** Raise one event through the registered callbacks on the calling thread; null id: a null identifier. */
    static native int raiseStatus(byte[] id, int event);
    static native int raiseFinger(byte[] id, int event);
    static native int raiseImage(byte[] id, int width, int height, byte[] image, int resolution);

    /** Thread t raises events i = 0..events-1 with id "thread-t": status, finger, image in turn. */
    static native int raiseFromThreads(int threads, int eventsPerThread);

    static native int liveDeviceContexts();
    static native int liveBitmaps();
    static native long sdkCalls();
}
