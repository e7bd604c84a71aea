package com.zembra.dactis.example;

import com.zembra.dactis.DactisNative;

import java.util.concurrent.BlockingQueue;
import java.util.concurrent.LinkedBlockingQueue;
import java.util.concurrent.TimeUnit;

/**
 * Initialises the SDK, starts a capture on the first sensor that is plugged in, takes two
 * images from it, extracts a template from each and verifies one against the other,
 * printing every event it receives on the way. Exits with 0 when all of it worked.
 */
public final class CaptureExample extends DactisNative {
    private static final int STATUS_SENSOR_PLUGGED = 10;
    private static final int STATUS_SENSOR_UNPLUGGED = 11;
    private static final int FINGER_DOWN = 20;
    private static final int FINGER_UP = 21;
    private static final int MATCH = 1;

    private record Image(String sensor, int width, int height, byte[] pixels, int resolution) {
    }

    private final BlockingQueue<String> pluggedSensors = new LinkedBlockingQueue<>();
    private final BlockingQueue<Image> images = new LinkedBlockingQueue<>();

    @Override
    public void callbackStatus(String idSensor, int event) {
        String what = event == STATUS_SENSOR_PLUGGED ? "plugged"
                : event == STATUS_SENSOR_UNPLUGGED ? "unplugged" : "event " + event;
        System.out.println("status: sensor " + idSensor + " " + what);
        if (event == STATUS_SENSOR_PLUGGED) {
            pluggedSensors.add(idSensor);
        }
    }

    @Override
    public void callbackFinger(String idSensor, int event) {
        String what = event == FINGER_DOWN ? "down" : event == FINGER_UP ? "up" : "event " + event;
        System.out.println("finger: sensor " + idSensor + " " + what);
    }

    @Override
    public void callbackImage(String idSensor, int width, int height, byte[] rawImage, int resolution) {
        System.out.println("image: sensor " + idSensor + ", " + width + " x " + height + " pixels ("
                + rawImage.length + " bytes), " + resolution + " dpi");
        images.add(new Image(idSensor, width, height, rawImage, resolution));
    }

    private static void require(int result, String call) {
        if (result < 0) {
            System.out.println(call + " failed: " + result);
            System.exit(1);
        }
    }

    private static <T> T next(BlockingQueue<T> queue, String what) throws InterruptedException {
        T item = queue.poll(60, TimeUnit.SECONDS);
        if (item == null) {
            System.out.println("no " + what + " within a minute");
            System.exit(1);
        }
        return item;
    }

    private byte[] extract(Image image, String name) {
        byte[] template = new byte[MAX_TEMPLATE_SIZE];
        int[] size = new int[1];
        require(DcExtract_native(image.pixels(), image.width(), image.height(), image.resolution(), template, size,
                DEFAULT_CONTEXT), "DcExtract");
        System.out.println("template " + name + ": " + size[0] + " bytes");
        return template;
    }

    public static void main(String[] args) throws InterruptedException {
        CaptureExample dactis = new CaptureExample();
        require(dactis.DcInitialize_native(), "DcInitialize");
        byte[] major = new byte[1];
        byte[] minor = new byte[1];
        require(dactis.DcGetDactisVersion_native(major, minor), "DcGetDactisVersion");
        System.out.println("SDK version " + major[0] + "." + minor[0]);

        // The thread that collects the SDK's events for as long as captures run.
        Thread collector = new Thread(() -> {
            while (true) {
                dactis.getCallBacks();
            }
        }, "dactis-events");
        collector.setDaemon(true);
        collector.start();

        require(dactis.DcCapInitialize_native(), "DcCapInitialize");
        String sensor = next(dactis.pluggedSensors, "sensor");
        require(dactis.DcCapStartCapture_native(sensor), "DcCapStartCapture");
        System.out.println("capturing on " + sensor + ": place a finger twice");
        Image first = next(dactis.images, "image");
        Image second = next(dactis.images, "image");
        require(dactis.DcCapStopCapture_native(sensor), "DcCapStopCapture");

        byte[] enrolled = dactis.extract(first, "1");
        byte[] presented = dactis.extract(second, "2");
        int[] score = new int[1];
        int verified = dactis.DcVerify_native(presented, enrolled, score, DEFAULT_CONTEXT);
        require(verified, "DcVerify");
        System.out.println("verify: score " + score[0] + ", " + (verified == MATCH ? "match" : "no match"));

        require(dactis.DcCapFinalize_native(), "DcCapFinalize");
        require(dactis.DcFinalize_native(), "DcFinalize");
        System.exit(verified == MATCH ? 0 : 2);
    }
}
