package com.zembra.dactis.tests;

import static com.zembra.dactis.tests.Harness.check;
import static com.zembra.dactis.tests.Harness.equal;

import com.zembra.dactis.DactisNative;
import com.zembra.dactis.tests.RecordingNative.Event;

import java.util.Arrays;

/** What the SDK writes through the Java arrays, and results passed through unchanged. */
public final class WriteBackTests {
    private static final int DC_MATCH = 1;
    private static final int DC_NOT_MATCH = 0;
    private static final int DC_ERROR_INVALID_ARGUMENT = -2;
    private static final int DC_ERROR_INVALID_CONTEXT = -3;
    private static final int DC_ERROR_POOR_IMAGE = -7;
    private static final int DC_ERROR_INVALID_TEMPLATE = -8;
    private static final int DC_ERROR_NOT_PREPARED = -9;
    private static final byte SENTINEL = (byte) 0xA5;
    private static final int CONTEXT = DactisNative.DEFAULT_CONTEXT;

    private WriteBackTests() {
    }

    public static void main(String[] args) {
        Harness.run(WriteBackTests.class, args);
    }

    private static byte[] extract(DactisNative dactis, Event image) {
        byte[] template = new byte[DactisNative.MAX_TEMPLATE_SIZE];
        Arrays.fill(template, SENTINEL);
        int[] size = {-1};
        equal(0, dactis.DcExtract_native(image.image(), image.width(), image.height(), image.resolution(), template,
                size, CONTEXT), "DcExtract");
        check(size[0] > 24 && size[0] <= DactisNative.MAX_TEMPLATE_SIZE, "template size written: " + size[0]);
        equal("DCT1", new String(template, 0, 4, java.nio.charset.StandardCharsets.US_ASCII), "template signature");
        for (int i = size[0]; i < template.length; i++) {
            equal(SENTINEL, template[i], "byte " + i + " past the template's size");
        }
        return Arrays.copyOf(template, size[0]);
    }

    public static void extractionWritesTheTemplateAndItsSize() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        extract(dactis, dactis.nextImage());
        // A blank image has no fingerprint; nothing is written.
        byte[] template = new byte[DactisNative.MAX_TEMPLATE_SIZE];
        int[] size = {-1};
        equal(DC_ERROR_POOR_IMAGE, dactis.DcExtract_native(new byte[100 * 100], 100, 100, 500, template, size,
                CONTEXT), "blank image");
        equal(-1, size[0], "size untouched on failure");
    }

    public static void verificationAndIdentificationWriteTheirScores() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        // The simulated sensor shows each finger on two touches in a row.
        byte[] first = extract(dactis, dactis.nextImage());
        byte[] sameFinger = extract(dactis, dactis.nextImage());
        byte[] otherFinger = extract(dactis, dactis.nextImage());
        equal(0, dactis.DcCapStopCapture_native(RecordingNative.SENSOR), "DcCapStopCapture");

        int[] score = {-1};
        equal(DC_MATCH, dactis.DcVerify_native(first, first, score, CONTEXT), "a template against itself");
        equal(100, score[0], "its score");
        equal(DC_MATCH, dactis.DcVerify_native(sameFinger, first, score, CONTEXT), "two touches of a finger");
        int genuine = score[0];
        equal(DC_NOT_MATCH, dactis.DcVerify_native(otherFinger, first, score, CONTEXT), "two fingers");
        check(score[0] < genuine, "a lower score for another finger: " + score[0] + " against " + genuine);

        int[] context = {-1};
        equal(0, dactis.DcCreateContext_native(context), "DcCreateContext");
        int[] identifyScore = {-1};
        equal(DC_ERROR_NOT_PREPARED, dactis.DcIdentify_native(sameFinger, identifyScore, context[0]),
                "identify before prepare");
        equal(-1, identifyScore[0], "score untouched on failure");
        equal(0, dactis.DcIdentifyPrepare_native(first, context[0]), "DcIdentifyPrepare");
        equal(DC_MATCH, dactis.DcIdentify_native(sameFinger, identifyScore, context[0]), "identify the finger");
        check(identifyScore[0] > 0, "identify score written");
        equal(DC_NOT_MATCH, dactis.DcIdentify_native(otherFinger, identifyScore, context[0]), "another finger");

        // A template cut short is refused, never read past its array.
        byte[] cut = Arrays.copyOf(first, first.length - 8);
        score[0] = -1;
        equal(DC_ERROR_INVALID_TEMPLATE, dactis.DcVerify_native(cut, first, score, CONTEXT), "a cut template");
        equal(DC_ERROR_INVALID_TEMPLATE, dactis.DcVerify_native(new byte[3], first, score, CONTEXT), "3 bytes");
        equal(-1, score[0], "score untouched on failure");
    }

    public static void parametersRoundTripThroughArrays() throws Exception {
        DactisNative dactis = new DactisNative();
        equal(0, dactis.DcInitialize_native(), "DcInitialize");
        int[] context = {-1};
        equal(0, dactis.DcCreateContext_native(context), "DcCreateContext");
        check(context[0] > 0, "a new context id: " + context[0]);

        equal(0, dactis.DcSetVerifyParameters_native(45, 30, context[0]), "DcSetVerifyParameters");
        equal(0, dactis.DcSetIdentifyParameters_native(60, 90, context[0]), "DcSetIdentifyParameters");
        int[] threshold = {-1};
        int[] rotation = {-1};
        equal(0, dactis.DcGetVerifyParameters_native(threshold, rotation, context[0]), "DcGetVerifyParameters");
        equal(45, threshold[0], "verify threshold");
        equal(30, rotation[0], "verify rotation");
        equal(0, dactis.DcGetIdentifyParameters_native(threshold, rotation, context[0]), "DcGetIdentifyParameters");
        equal(60, threshold[0], "identify threshold");
        equal(90, rotation[0], "identify rotation");

        // Another context keeps its own.
        equal(0, dactis.DcGetVerifyParameters_native(threshold, rotation, CONTEXT), "default context");
        equal(30, threshold[0], "default verify threshold");
        equal(60, rotation[0], "default verify rotation");

        // Refused values and unknown contexts come back as the SDK's results; nothing is written.
        equal(DC_ERROR_INVALID_ARGUMENT, dactis.DcSetVerifyParameters_native(0, 30, context[0]), "threshold 0");
        equal(DC_ERROR_INVALID_ARGUMENT, dactis.DcSetIdentifyParameters_native(50, 181, context[0]), "rotation 181");
        equal(0, dactis.DcDestroyContext_native(context[0]), "DcDestroyContext");
        threshold[0] = -1;
        equal(DC_ERROR_INVALID_CONTEXT, dactis.DcGetVerifyParameters_native(threshold, rotation, context[0]),
                "a destroyed context");
        equal(-1, threshold[0], "untouched");
    }

    public static void versionBytesAreWritten() throws Exception {
        DactisNative dactis = new DactisNative();
        byte[] major = {-1, 77};
        byte[] minor = {-1};
        equal(0, dactis.DcGetDactisVersion_native(major, minor), "DcGetDactisVersion");
        equal(3, major[0], "major version");
        equal(1, minor[0], "minor version");
        equal(77, major[1], "only the first byte written");
    }
}
