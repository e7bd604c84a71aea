package com.zembra.dactis.tests;

import static com.zembra.dactis.tests.Harness.check;
import static com.zembra.dactis.tests.Harness.equal;
import static com.zembra.dactis.tests.Harness.expectThrows;
import static com.zembra.dactis.tests.RecordingNative.bytes;

import com.zembra.dactis.tests.RecordingNative.Event;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.atomic.AtomicInteger;
import java.util.concurrent.atomic.AtomicLong;

/** Capture events of the SDK reaching the Java callback methods through getCallBacks. */
public final class EventDeliveryTests {
    private EventDeliveryTests() {
    }

    public static void main(String[] args) {
        Harness.run(EventDeliveryTests.class, args);
    }

    private static byte[] pattern(int size) {
        byte[] image = new byte[size];
        for (int i = 0; i < size; i++) {
            image[i] = (byte) (i * 7 + i / 256);
        }
        return image;
    }

    public static void statusFingerAndImageReachTheirMethods() throws Exception {
        RecordingNative dactis = RecordingNative.started();

        equal(0, SdkControl.raiseFinger(bytes("SIM-0"), RecordingNative.FINGER_DOWN), "raise finger");
        Event finger = dactis.next();
        equal("finger", finger.method(), "finger event's method");
        equal("SIM-0", finger.id(), "finger event's sensor");
        equal(RecordingNative.FINGER_DOWN, finger.event(), "finger event");

        // Same shape as a finger event; only the method differs.
        equal(0, SdkControl.raiseStatus(bytes("SIM-0"), 11), "raise status");
        Event status = dactis.next();
        equal("status", status.method(), "status event's method");
        equal("SIM-0", status.id(), "status event's sensor");
        equal(11, status.event(), "status event");

        byte[] sent = pattern(256 * 288);
        equal(0, SdkControl.raiseImage(bytes("SIM-0"), 256, 288, sent, 500), "raise image");
        Event image = dactis.next();
        equal("image", image.method(), "image event's method");
        equal("SIM-0", image.id(), "image event's sensor");
        equal(256, image.width(), "width, the first of the two sizes");
        equal(288, image.height(), "height, the second");
        equal(73728, image.image().length, "image array length");
        check(Arrays.equals(sent, image.image()), "image bytes as the SDK sent them");
        equal(500, image.resolution(), "resolution");
        dactis.expectNoEvent(200);
    }

    public static void sdkThreadWaitsUntilTheJavaCallbackHasReturned() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        CountDownLatch gate = new CountDownLatch(1);
        dactis.gate = gate;
        AtomicLong raiseReturnedAt = new AtomicLong();
        Thread sdkThread = new Thread(() -> {
            SdkControl.raiseStatus(bytes("SIM-0"), 42);
            raiseReturnedAt.set(System.nanoTime());
        }, "sdk-thread");
        sdkThread.start();

        sdkThread.join(500);
        check(sdkThread.isAlive(), "the SDK thread is still inside its callback while Java's callback runs");
        gate.countDown();
        sdkThread.join(RecordingNative.WAIT_SECONDS * 1000L);
        check(!sdkThread.isAlive(), "the SDK thread returns once Java's callback has");
        Event event = dactis.next();
        equal(42, event.event(), "the event");
        check(raiseReturnedAt.get() >= event.returnedAt(), "the SDK callback returned after the Java callback");
    }

    public static void eventsFromThreeSdkThreadsArriveOnceEachInOrder() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        final int threads = 3;
        final int perThread = 300;
        AtomicInteger result = new AtomicInteger(Integer.MIN_VALUE);
        Thread raiser = new Thread(() -> result.set(SdkControl.raiseFromThreads(threads, perThread)));
        raiser.start();

        Map<String, Integer> nextOfThread = new HashMap<>();
        for (int n = 0; n < threads * perThread; n++) {
            Event event = dactis.next();
            int expected = nextOfThread.getOrDefault(event.id(), 0);
            check(event.id().startsWith("thread-"), "sensor of a raising thread: " + event.id());
            int t = Integer.parseInt(event.id().substring("thread-".length()));
            String what = event.id() + " event " + expected;
            switch (expected % 3) {
                case 0 -> {
                    equal("status", event.method(), what);
                    equal(expected, event.event(), what);
                }
                case 1 -> {
                    equal("finger", event.method(), what);
                    equal(expected, event.event(), what);
                }
                default -> {
                    equal("image", event.method(), what);
                    equal(8, event.width(), what + " width");
                    equal(2 + t, event.height(), what + " height");
                    equal(expected, event.resolution(), what + " resolution");
                    for (int k = 0; k < event.image().length; k++) {
                        equal((expected + k) & 0xFF, event.image()[k] & 0xFF, what + " byte " + k);
                    }
                }
            }
            nextOfThread.put(event.id(), expected + 1);
        }
        raiser.join(RecordingNative.WAIT_SECONDS * 1000L);
        equal(0, result.get(), "every raising thread finished");
        equal(threads, nextOfThread.size(), "events of every thread");
        for (int count : nextOfThread.values()) {
            equal(perThread, count, "events of one thread");
        }
        dactis.expectNoEvent(200);
    }

    public static void touchOfTheSimulatedSensorGivesFingerDownImageFingerUp() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        Event down = dactis.next();
        equal("finger", down.method(), "first event of a touch");
        equal(RecordingNative.FINGER_DOWN, down.event(), "finger down");
        Event image = dactis.next();
        equal("image", image.method(), "second event of a touch");
        equal("SIM-0", image.id(), "image's sensor");
        equal(256, image.width(), "sensor image width");
        equal(288, image.height(), "sensor image height");
        equal(256 * 288, image.image().length, "sensor image bytes");
        equal(500, image.resolution(), "sensor resolution");
        Event up = dactis.next();
        equal("finger", up.method(), "third event of a touch");
        equal(RecordingNative.FINGER_UP, up.event(), "finger up");

        equal(0, dactis.DcCapStopCapture_native("SIM-0"), "DcCapStopCapture");
        // At most the touch already under way finishes; then nothing more arrives.
        long deadline = System.nanoTime() + 3_000_000_000L;
        while (System.nanoTime() < deadline && dactis.events.poll(300, java.util.concurrent.TimeUnit.MILLISECONDS) != null) {
        }
        dactis.expectNoEvent(600);
        equal(0, dactis.DcCapFinalize_native(), "DcCapFinalize");
    }

    public static void imageFileArrivesAsAnImageEventOfTheFileSensor() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        Path folder = Files.createTempDirectory("dactis-files");
        try {
            byte[] image = pattern(37 * 21);
            String[] extensions = {"bmp", "png", "pgm"};
            for (int format = 0; format < extensions.length; format++) {
                String file = folder.resolve("image." + extensions[format]).toString();
                equal(0, dactis.DcCapSaveRawImageToFile_native(image, 37, 21, file, format), "save " + file);
                equal(0, dactis.DcCapLoadImageFromFile_native(file, 700), "load " + file);
                Event loaded = dactis.next();
                equal("image", loaded.method(), file + " event");
                equal("File", loaded.id(), file + " sensor");
                equal(37, loaded.width(), file + " width");
                equal(21, loaded.height(), file + " height");
                equal(700, loaded.resolution(), file + " resolution");
                check(Arrays.equals(image, loaded.image()), file + " pixels as saved");
            }
            String missing = folder.resolve("missing.bmp").toString();
            check(dactis.DcCapLoadImageFromFile_native(missing, 500) < 0, "a missing file fails");
            dactis.expectNoEvent(300);
        } finally {
            try (var files = Files.list(folder)) {
                for (Path file : files.toList()) {
                    Files.delete(file);
                }
            }
            Files.delete(folder);
        }
    }

    public static void exceptionOfACallbackReachesGetCallBacksAndReleasesTheSdk() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        dactis.throwNext = new IllegalStateException("thrown by the application");
        equal(0, SdkControl.raiseStatus(bytes("SIM-0"), 1), "the SDK thread returns from its callback");
        equal(1, dactis.next().event(), "the event was delivered before the exception");
        Throwable thrown = dactis.thrown.poll(RecordingNative.WAIT_SECONDS, java.util.concurrent.TimeUnit.SECONDS);
        check(thrown instanceof IllegalStateException, "getCallBacks threw the callback's exception: " + thrown);
        equal(0, SdkControl.raiseStatus(bytes("SIM-0"), 2), "the next event");
        equal(2, dactis.next().event(), "the next event is delivered");
    }

    public static void sensorIdentifiersBecomeJavaStrings() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        // UTF-8 text as itself; bytes that are not UTF-8 one character each (ISO-8859-1).
        List<byte[]> sent = new ArrayList<>();
        sent.add(bytes("Sensor-\u00fc\u20ac"));
        sent.add(new byte[] {'S', (byte) 0xE9, (byte) 0xFF, '1'});
        sent.add(new byte[] {(byte) 0xC3});
        String[] expected = {"Sensor-\u00fc\u20ac", "S\u00e9\u00ff1", "\u00c3"};
        for (int i = 0; i < sent.size(); i++) {
            equal(0, SdkControl.raiseFinger(sent.get(i), i), "raise");
            equal(expected[i], dactis.next().id(), "identifier " + i);
        }
        equal(0, SdkControl.raiseFinger(null, 9), "raise with a null identifier");
        Event nullId = dactis.next();
        equal(null, nullId.id(), "a null identifier");
        equal(9, nullId.event(), "its event");
    }

    public static void imageThatCannotBeAJavaArrayIsNotDelivered() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        equal(0, SdkControl.raiseImage(bytes("SIM-0"), -4, 10, new byte[0], 500), "negative width");
        equal(0, SdkControl.raiseImage(bytes("SIM-0"), 10, 10, null, 500), "no pixels");
        equal(0, SdkControl.raiseImage(bytes("SIM-0"), 65536, 65536, new byte[0], 500), "over 2^31 bytes");
        equal(0, SdkControl.raiseImage(bytes("SIM-0"), 0, 5, null, 300), "an empty image");
        Event empty = dactis.next();
        equal("image", empty.method(), "the empty image is delivered");
        equal(0, empty.image().length, "as an empty array");
        equal(300, empty.resolution(), "with its resolution");
        dactis.expectNoEvent(200);
    }

    public static void initialisingAgainKeepsEventsFlowing() throws Exception {
        RecordingNative dactis = RecordingNative.started();
        equal(0, dactis.DcInitialize_native(), "DcInitialize again");
        equal(0, dactis.DcInitialize_native(), "and again");
        for (int i = 0; i < 5; i++) {
            equal(0, SdkControl.raiseStatus(bytes("SIM-0"), 100 + i), "raise");
            equal(100 + i, dactis.next().event(), "event after initialising again");
        }
        expectThrows(NullPointerException.class, () -> dactis.DcCapStartCapture_native(null), "still checked");
    }
}
