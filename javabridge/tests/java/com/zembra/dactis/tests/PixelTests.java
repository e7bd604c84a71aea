package com.zembra.dactis.tests;

import static com.zembra.dactis.tests.Harness.check;
import static com.zembra.dactis.tests.Harness.equal;

import com.zembra.dactis.DactisNative;
import com.zembra.dactis.tests.RecordingNative.Event;

import java.util.Arrays;
import java.util.HashSet;
import java.util.Set;

/** Bitmaps of the SDK coming back to Java as int pixels, and the screen device context. */
public final class PixelTests {
    private static final int SENTINEL = 0x7A5A5A5A;
    private static final int DC_ERROR_INVALID_TEMPLATE = -8;
    private static final int DC_ERROR_INVALID_IMAGE_SIZE = -5;

    // Six colours that no grey pixel can take (red, green and blue differ).
    private static final int MINUTIAE = 0x123456;
    private static final int MINUTIAE_MATCH = 0x00FF10;
    private static final int SEGMENTS = 0x20A0F0;
    private static final int SEGMENTS_MATCH = 0xF020A0;
    private static final int DIRECTIONS = 0x808000;
    private static final int DIRECTIONS_MATCH = 0x400080;

    private PixelTests() {
    }

    public static void main(String[] args) {
        Harness.run(PixelTests.class, args);
    }

    private static int[] sentinels(int size) {
        int[] pixels = new int[size];
        Arrays.fill(pixels, SENTINEL);
        return pixels;
    }

    /** A grey image whose every row and column differs: (x * 7 + y * 13) & 0xFF. */
    private static byte[] gradient(int width, int height) {
        byte[] image = new byte[width * height];
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                image[y * width + x] = (byte) (x * 7 + y * 13);
            }
        }
        return image;
    }

    public static void greyBitmapComesBackTopRowFirstAsRepeatedBytes() throws Exception {
        DactisNative dactis = new DactisNative();
        equal(0, dactis.DcInitialize_native(), "DcInitialize");
        // 5 x 3 at 8 bits: rows of 5 bytes padded to 8 in the bitmap, stored bottom-up.
        byte[] image = {
            (byte) 0x80, 0x01, 0x02, 0x03, 0x04,
            0x10, 0x11, 0x12, 0x13, 0x14,
            (byte) 0xF0, (byte) 0xF1, (byte) 0xF2, (byte) 0xF3, (byte) 0xFF,
        };
        int[] pixels = sentinels(16);
        equal(0, dactis.DcCapRawImageToHandle_native(image, 5, 3, pixels), "DcCapRawImageToHandle");
        equal(0x808080, pixels[0], "grey 0x80 at the top left");
        for (int i = 0; i < 15; i++) {
            equal((image[i] & 0xFF) * 0x010101, pixels[i], "pixel " + i);
        }
        equal(SENTINEL, pixels[15], "nothing written past width x height");
        equal(0, SdkControl.liveBitmaps(), "the bitmap was deleted");
        equal(0, SdkControl.liveDeviceContexts(), "the device context was released");
    }

    public static void colourDisplayComesBackAsRgbIntsTopRowFirst() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        Event captured = dactis.nextImage();
        byte[] template = new byte[DactisNative.MAX_TEMPLATE_SIZE];
        int[] size = new int[1];
        equal(0, dactis.DcExtract_native(captured.image(), captured.width(), captured.height(),
                captured.resolution(), template, size, DactisNative.DEFAULT_CONTEXT), "DcExtract");
        equal(0, dactis.DcSetBiometricDisplayColors_native(MINUTIAE, MINUTIAE_MATCH, SEGMENTS, SEGMENTS_MATCH,
                DIRECTIONS, DIRECTIONS_MATCH), "DcSetBiometricDisplayColors");

        // Odd width: 24-bit rows of 765 bytes padded to 768.
        final int width = 255;
        final int height = 200;
        byte[] image = gradient(width, height);
        int[] pixels = sentinels(width * height);
        equal(0, dactis.DcBiometricDisplay_native(template, image, width, height, 500, pixels,
                DactisNative.DEFAULT_CONTEXT), "DcBiometricDisplay");
        Set<Integer> colours = new HashSet<>();
        int grey = 0;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                int pixel = pixels[y * width + x];
                int expectedGrey = (image[y * width + x] & 0xFF) * 0x010101;
                if (pixel == expectedGrey) {
                    grey++;
                } else {
                    check(pixel == MINUTIAE || pixel == SEGMENTS || pixel == DIRECTIONS,
                            "pixel (" + x + ", " + y + ") is its grey or a colour of an unmatched template: 0x"
                                    + Integer.toHexString(pixel));
                    colours.add(pixel);
                }
            }
        }
        check(colours.contains(MINUTIAE), "minutiae drawn in their colour, red, green and blue in place");
        check(grey > width * height / 2, "the image shows through");
        equal(0, SdkControl.liveBitmaps(), "the bitmap was deleted");
        equal(0, SdkControl.liveDeviceContexts(), "the device context was released");

        // Compared with itself, every minutia is paired and takes the matched colours.
        int[] score = new int[1];
        equal(1, dactis.DcVerify_native(template, template, score, DactisNative.DEFAULT_CONTEXT), "self match");
        int[] matched = sentinels(width * height);
        equal(0, dactis.DcBiometricDisplay_native(template, image, width, height, 500, matched,
                DactisNative.DEFAULT_CONTEXT), "DcBiometricDisplay after the match");
        Set<Integer> matchedColours = new HashSet<>();
        for (int pixel : matched) {
            matchedColours.add(pixel);
        }
        check(matchedColours.contains(MINUTIAE_MATCH), "matched minutiae in their colour");
        check(!matchedColours.contains(MINUTIAE), "no unmatched minutia");
    }

    public static void noDeviceContextGivesMinus113WithoutTouchingArrays() throws Exception {
        DactisNative dactis = new DactisNative();
        equal(0, dactis.DcInitialize_native(), "DcInitialize");
        SdkControl.setScreenAvailable(false);
        byte[] image = gradient(7, 5);
        byte[] imageBefore = image.clone();
        int[] pixels = sentinels(35);
        byte[] template = new byte[DactisNative.MAX_TEMPLATE_SIZE];
        long calls = SdkControl.sdkCalls();

        equal(DactisNative.ERROR_NO_DEVICE_CONTEXT, dactis.DcCapRawImageToHandle_native(image, 7, 5, pixels),
                "DcCapRawImageToHandle");
        equal(DactisNative.ERROR_NO_DEVICE_CONTEXT, dactis.DcBiometricDisplay_native(template, image, 7, 5, 500,
                pixels, DactisNative.DEFAULT_CONTEXT), "DcBiometricDisplay");
        // The device context is looked for first: even null arrays give -113.
        equal(DactisNative.ERROR_NO_DEVICE_CONTEXT, dactis.DcCapRawImageToHandle_native(null, 7, 5, null),
                "DcCapRawImageToHandle with null arrays");

        equal(calls, SdkControl.sdkCalls(), "the SDK was not called");
        check(Arrays.equals(imageBefore, image), "image untouched");
        for (int pixel : pixels) {
            equal(SENTINEL, pixel, "pixels untouched");
        }

        SdkControl.setScreenAvailable(true);
        equal(0, dactis.DcCapRawImageToHandle_native(image, 7, 5, pixels), "works again with a screen");
        equal((image[0] & 0xFF) * 0x010101, pixels[0], "first pixel");
    }

    public static void failedDisplayWritesNoPixelsAndReleasesEverything() throws Exception {
        DactisNative dactis = new DactisNative();
        equal(0, dactis.DcInitialize_native(), "DcInitialize");
        byte[] image = gradient(9, 9);
        int[] pixels = sentinels(81);
        byte[] notATemplate = new byte[DactisNative.MAX_TEMPLATE_SIZE];
        equal(DC_ERROR_INVALID_TEMPLATE, dactis.DcBiometricDisplay_native(notATemplate, image, 9, 9, 500, pixels,
                DactisNative.DEFAULT_CONTEXT), "display of a template of zeros");
        equal(DC_ERROR_INVALID_IMAGE_SIZE, dactis.DcCapRawImageToHandle_native(image, 0, 9, pixels),
                "an image of width 0");
        for (int pixel : pixels) {
            equal(SENTINEL, pixel, "no pixel written on failure");
        }
        equal(0, SdkControl.liveBitmaps(), "no bitmap left");
        equal(0, SdkControl.liveDeviceContexts(), "no device context left");
    }
}
