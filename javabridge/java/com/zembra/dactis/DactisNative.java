package com.zembra.dactis;

/**
 * The fingerprint SDK as Java sees it: each {@code _native} method calls the SDK function of
 * the same name in the native library {@code DactisJava} and returns its result (0 or more on
 * success, negative on failure). Arrays passed in receive what the SDK writes (templates,
 * sizes, scores, parameters, version bytes, pixels).
 *
 * <p>Capture events arrive through {@link #getCallBacks()}: a thread of the application calls
 * it in a loop for as long as captures run; each call waits for one event of the SDK and
 * delivers it to {@link #callbackStatus}, {@link #callbackFinger} or {@link #callbackImage}
 * of this object, on that thread. Applications subclass this class and override the three
 * callback methods. The SDK's capture thread waits until the callback method has returned.
 *
 * <p>Call order: {@code DcInitialize_native} first, then {@code DcCapInitialize_native},
 * start the thread that loops on {@code getCallBacks}, start and stop captures, and end with
 * {@code DcCapFinalize_native} and {@code DcFinalize_native} while that thread still runs.
 * Never call {@code DcCapFinalize_native} from inside a callback method.
 *
 * <p>A null array or string throws {@link NullPointerException}, and an array shorter than
 * the call needs throws {@link ArrayIndexOutOfBoundsException}; in both cases the SDK is not
 * called.
 */
public class DactisNative {
    /** Every template fits in an array of this many bytes; extraction needs one this long. */
    public static final int MAX_TEMPLATE_SIZE = 2048;
    /** The result of the two display methods when no screen device context can be had. */
    public static final int ERROR_NO_DEVICE_CONTEXT = -113;
    /** The context that exists from {@code DcInitialize_native} to {@code DcFinalize_native}. */
    public static final int DEFAULT_CONTEXT = 0;

    static {
        System.loadLibrary("DactisJava");
    }

    // Capture.
    public native int DcCapInitialize_native();
    public native int DcCapFinalize_native();
    public native int DcCapStartCapture_native(String idSensor);
    public native int DcCapStopCapture_native(String idSensor);
    public native int DcCapSaveRawImageToFile_native(byte[] rawImage, int width, int height, String fileName,
                                                     int format);
    /** Fills pixels (width x height ints, 0x00RRGGBB, top row first) with the image as the screen shows it. */
    public native int DcCapRawImageToHandle_native(byte[] rawImage, int width, int height, int[] pixels);
    /** Delivers the file's image through {@link #callbackImage} with the sensor identifier "File". */
    public native int DcCapLoadImageFromFile_native(String fileName, int resolution);

    // Display.
    /** Fills pixels (width x height ints, 0x00RRGGBB, top row first) with the image and the template's minutiae. */
    public native int DcBiometricDisplay_native(byte[] template, byte[] rawImage, int width, int height,
                                                int resolution, int[] pixels, int context);
    public native int DcSetBiometricDisplayColors_native(int minutiaeColor, int minutiaeMatchColor,
                                                         int segmentsColor, int segmentsMatchColor,
                                                         int directionsColor, int directionsMatchColor);

    // Extraction and matching.
    public native int DcInitialize_native();
    public native int DcFinalize_native();
    public native int DcCreateContext_native(int[] contextId);
    public native int DcDestroyContext_native(int contextId);
    /** template: at least {@link #MAX_TEMPLATE_SIZE} bytes; templateSize[0] receives the template's size. */
    public native int DcExtract_native(byte[] rawImage, int width, int height, int resolution, byte[] template,
                                       int[] templateSize, int context);
    public native int DcVerify_native(byte[] queryTemplate, byte[] referenceTemplate, int[] score, int context);
    public native int DcIdentifyPrepare_native(byte[] template, int context);
    public native int DcIdentify_native(byte[] template, int[] score, int context);
    public native int DcSetIdentifyParameters_native(int threshold, int rotationMax, int context);
    public native int DcSetVerifyParameters_native(int threshold, int rotationMax, int context);
    public native int DcGetIdentifyParameters_native(int[] threshold, int[] rotationMax, int context);
    public native int DcGetVerifyParameters_native(int[] threshold, int[] rotationMax, int context);
    public native int DcGetDactisVersion_native(byte[] majorVersion, byte[] minorVersion);

    /** Waits for one capture event of the SDK and delivers it to this object's callback methods. */
    public native void getCallBacks();

    /** A sensor was plugged in or removed. */
    public void callbackStatus(String idSensor, int event) {
    }

    /** A finger was placed on the sensor or lifted. */
    public void callbackFinger(String idSensor, int event) {
    }

    /** An image of width x height grey bytes, the top row first. */
    public void callbackImage(String idSensor, int width, int height, byte[] rawImage, int resolution) {
    }
}
