package com.zembra.dactis.tests;

import static com.zembra.dactis.tests.Harness.check;
import static com.zembra.dactis.tests.Harness.equal;
import static com.zembra.dactis.tests.Harness.expectThrows;

import com.zembra.dactis.DactisNative;

import java.util.LinkedHashMap;
import java.util.Map;

/**
 * Arguments the SDK cannot be given: a null string or array throws NullPointerException, an
 * array shorter than the call needs throws ArrayIndexOutOfBoundsException; the SDK is not
 * called and the virtual machine goes on.
 */
public final class NullArgumentTests {
    private static final int MAX = DactisNative.MAX_TEMPLATE_SIZE;

    private NullArgumentTests() {
    }

    public static void main(String[] args) {
        Harness.run(NullArgumentTests.class, args);
    }

    /** Each call, named "Method/parameter", must throw the type with the parameter in its message. */
    private static void expectRefused(Class<? extends RuntimeException> type, Map<String, Harness.Body> calls) {
        for (Map.Entry<String, Harness.Body> call : calls.entrySet()) {
            String parameter = call.getKey().substring(call.getKey().indexOf('/') + 1);
            long before = SdkControl.sdkCalls();
            RuntimeException thrown = expectThrows(type, call.getValue(), call.getKey());
            check(thrown.getMessage() != null && thrown.getMessage().startsWith(parameter + " "),
                    call.getKey() + ": the message names the parameter: " + thrown.getMessage());
            equal(before, SdkControl.sdkCalls(), call.getKey() + ": the SDK was not called");
        }
    }

    public static void nullStringsAndArraysThrowNullPointerException() throws Exception {
        DactisNative d = new DactisNative();
        equal(0, d.DcInitialize_native(), "DcInitialize");
        byte[] image = new byte[16 * 16];
        byte[] tpt = new byte[MAX];
        int[] one = new int[1];
        int[] pixels = new int[16 * 16];
        Map<String, Harness.Body> calls = new LinkedHashMap<>();
        calls.put("DcCapStartCapture/idSensor", () -> d.DcCapStartCapture_native(null));
        calls.put("DcCapStopCapture/idSensor", () -> d.DcCapStopCapture_native(null));
        calls.put("DcCapSaveRawImageToFile/rawImage", () -> d.DcCapSaveRawImageToFile_native(null, 16, 16, "x", 0));
        calls.put("DcCapSaveRawImageToFile/fileName", () -> d.DcCapSaveRawImageToFile_native(image, 16, 16, null, 0));
        calls.put("DcCapRawImageToHandle/rawImage", () -> d.DcCapRawImageToHandle_native(null, 16, 16, pixels));
        calls.put("DcCapRawImageToHandle/pixels", () -> d.DcCapRawImageToHandle_native(image, 16, 16, null));
        calls.put("DcCapLoadImageFromFile/fileName", () -> d.DcCapLoadImageFromFile_native(null, 500));
        calls.put("DcBiometricDisplay/template",
                () -> d.DcBiometricDisplay_native(null, image, 16, 16, 500, pixels, 0));
        calls.put("DcBiometricDisplay/rawImage", () -> d.DcBiometricDisplay_native(tpt, null, 16, 16, 500, pixels, 0));
        calls.put("DcBiometricDisplay/pixels", () -> d.DcBiometricDisplay_native(tpt, image, 16, 16, 500, null, 0));
        calls.put("DcCreateContext/contextId", () -> d.DcCreateContext_native(null));
        calls.put("DcExtract/rawImage", () -> d.DcExtract_native(null, 16, 16, 500, tpt, one, 0));
        calls.put("DcExtract/template", () -> d.DcExtract_native(image, 16, 16, 500, null, one, 0));
        calls.put("DcExtract/templateSize", () -> d.DcExtract_native(image, 16, 16, 500, tpt, null, 0));
        calls.put("DcVerify/queryTemplate", () -> d.DcVerify_native(null, tpt, one, 0));
        calls.put("DcVerify/referenceTemplate", () -> d.DcVerify_native(tpt, null, one, 0));
        calls.put("DcVerify/score", () -> d.DcVerify_native(tpt, tpt, null, 0));
        calls.put("DcIdentifyPrepare/template", () -> d.DcIdentifyPrepare_native(null, 0));
        calls.put("DcIdentify/template", () -> d.DcIdentify_native(null, one, 0));
        calls.put("DcIdentify/score", () -> d.DcIdentify_native(tpt, null, 0));
        calls.put("DcGetIdentifyParameters/threshold", () -> d.DcGetIdentifyParameters_native(null, one, 0));
        calls.put("DcGetIdentifyParameters/rotationMax", () -> d.DcGetIdentifyParameters_native(one, null, 0));
        calls.put("DcGetVerifyParameters/threshold", () -> d.DcGetVerifyParameters_native(null, one, 0));
        calls.put("DcGetVerifyParameters/rotationMax", () -> d.DcGetVerifyParameters_native(one, null, 0));
        calls.put("DcGetDactisVersion/majorVersion", () -> d.DcGetDactisVersion_native(null, new byte[1]));
        calls.put("DcGetDactisVersion/minorVersion", () -> d.DcGetDactisVersion_native(new byte[1], null));
        expectRefused(NullPointerException.class, calls);

        // The virtual machine and the SDK go on as before.
        byte[] major = new byte[1];
        byte[] minor = new byte[1];
        equal(0, d.DcGetDactisVersion_native(major, minor), "DcGetDactisVersion afterwards");
        equal(3, major[0], "major version");
    }

    public static void shortArraysThrowArrayIndexOutOfBounds() throws Exception {
        DactisNative d = new DactisNative();
        equal(0, d.DcInitialize_native(), "DcInitialize");
        byte[] image = new byte[16 * 16];
        byte[] shortImage = new byte[16 * 16 - 1];
        byte[] tpt = new byte[MAX];
        int[] one = new int[1];
        int[] none = new int[0];
        int[] pixels = new int[16 * 16];
        Map<String, Harness.Body> calls = new LinkedHashMap<>();
        calls.put("DcCapSaveRawImageToFile/rawImage",
                () -> d.DcCapSaveRawImageToFile_native(shortImage, 16, 16, "x", 0));
        calls.put("DcCapRawImageToHandle/rawImage", () -> d.DcCapRawImageToHandle_native(shortImage, 16, 16, pixels));
        calls.put("DcCapRawImageToHandle/pixels",
                () -> d.DcCapRawImageToHandle_native(image, 16, 16, new int[16 * 16 - 1]));
        calls.put("DcBiometricDisplay/rawImage",
                () -> d.DcBiometricDisplay_native(tpt, shortImage, 16, 16, 500, pixels, 0));
        calls.put("DcBiometricDisplay/pixels",
                () -> d.DcBiometricDisplay_native(tpt, image, 16, 16, 500, new int[3], 0));
        calls.put("DcCreateContext/contextId", () -> d.DcCreateContext_native(none));
        calls.put("DcExtract/rawImage", () -> d.DcExtract_native(shortImage, 16, 16, 500, tpt, one, 0));
        calls.put("DcExtract/template", () -> d.DcExtract_native(image, 16, 16, 500, new byte[MAX - 1], one, 0));
        calls.put("DcExtract/templateSize", () -> d.DcExtract_native(image, 16, 16, 500, tpt, none, 0));
        calls.put("DcVerify/score", () -> d.DcVerify_native(tpt, tpt, none, 0));
        calls.put("DcIdentify/score", () -> d.DcIdentify_native(tpt, none, 0));
        calls.put("DcGetIdentifyParameters/threshold", () -> d.DcGetIdentifyParameters_native(none, one, 0));
        calls.put("DcGetVerifyParameters/rotationMax", () -> d.DcGetVerifyParameters_native(one, none, 0));
        calls.put("DcGetDactisVersion/majorVersion", () -> d.DcGetDactisVersion_native(new byte[0], new byte[1]));
        calls.put("DcGetDactisVersion/minorVersion", () -> d.DcGetDactisVersion_native(new byte[1], new byte[0]));
        expectRefused(ArrayIndexOutOfBoundsException.class, calls);

        // Sizes the SDK refuses itself are passed through without a length check.
        equal(-5, d.DcCapRawImageToHandle_native(new byte[0], -3, 16, new int[0]), "negative width: the SDK's result");
    }
}
