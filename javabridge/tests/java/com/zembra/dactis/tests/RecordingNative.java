package com.zembra.dactis.tests;

import com.zembra.dactis.DactisNative;

import java.nio.charset.StandardCharsets;
import java.util.concurrent.BlockingQueue;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.LinkedBlockingQueue;
import java.util.concurrent.TimeUnit;

/**
 * The bridge's Java object as the tests use it: every callback is recorded, in order; a
 * callback can be made to wait on a latch or to throw; a daemon thread collects the events
 * with getCallBacks, as an application does.
 */
class RecordingNative extends DactisNative {
    static final int STATUS_SENSOR_PLUGGED = 10;
    static final int FINGER_DOWN = 20;
    static final int FINGER_UP = 21;
    static final String SENSOR = "SIM-0";
    static final int WAIT_SECONDS = 20;

    /** One callback as Java received it. */
    record Event(String method, String id, int event, int width, int height, byte[] image, int resolution,
                 long returnedAt) {
    }

    final BlockingQueue<Event> events = new LinkedBlockingQueue<>();
    /** What getCallBacks threw, in order. */
    final BlockingQueue<Throwable> thrown = new LinkedBlockingQueue<>();
    /** When set, a callback waits for it before it records and returns. */
    volatile CountDownLatch gate;
    /** When set, the next callback throws it (once). */
    volatile RuntimeException throwNext;

    static byte[] bytes(String text) {
        return text.getBytes(StandardCharsets.UTF_8);
    }

    private void record(String method, String id, int event, int width, int height, byte[] image, int resolution) {
        CountDownLatch wait = gate;
        if (wait != null) {
            try {
                if (!wait.await(WAIT_SECONDS, TimeUnit.SECONDS)) {
                    throw new IllegalStateException("gate never opened");
                }
            } catch (InterruptedException interrupted) {
                Thread.currentThread().interrupt();
            }
        }
        RuntimeException toThrow = throwNext;
        throwNext = null;
        events.add(new Event(method, id, event, width, height, image, resolution, System.nanoTime()));
        if (toThrow != null) {
            throw toThrow;
        }
    }

    @Override
    public void callbackStatus(String idSensor, int event) {
        record("status", idSensor, event, 0, 0, null, 0);
    }

    @Override
    public void callbackFinger(String idSensor, int event) {
        record("finger", idSensor, event, 0, 0, null, 0);
    }

    @Override
    public void callbackImage(String idSensor, int width, int height, byte[] rawImage, int resolution) {
        record("image", idSensor, 0, width, height, rawImage, resolution);
    }

    /** Starts the thread that loops on getCallBacks for the rest of the test. */
    RecordingNative collect() {
        Thread collector = new Thread(() -> {
            while (true) {
                try {
                    getCallBacks();
                } catch (Throwable failure) {
                    thrown.add(failure);
                }
            }
        }, "dactis-collector");
        collector.setDaemon(true);
        collector.start();
        return this;
    }

    Event next() throws InterruptedException {
        Event event = events.poll(WAIT_SECONDS, TimeUnit.SECONDS);
        Harness.check(event != null, "an event within " + WAIT_SECONDS + " s");
        return event;
    }

    void expectNoEvent(long milliseconds) throws InterruptedException {
        Event event = events.poll(milliseconds, TimeUnit.MILLISECONDS);
        Harness.check(event == null, "no event, got " + event);
    }

    /**
     * DcInitialize, DcCapInitialize, the collector, the sensor's announcement and a capture
     * started on it (which registers the finger and image callbacks).
     */
    static RecordingNative started() throws InterruptedException {
        RecordingNative dactis = new RecordingNative();
        Harness.equal(0, dactis.DcInitialize_native(), "DcInitialize");
        dactis.collect();
        Harness.equal(0, dactis.DcCapInitialize_native(), "DcCapInitialize");
        Event plugged = dactis.next();
        Harness.equal("status", plugged.method(), "announcement");
        Harness.equal(SENSOR, plugged.id(), "announced sensor");
        Harness.equal(STATUS_SENSOR_PLUGGED, plugged.event(), "announcement event");
        Harness.equal(0, dactis.DcCapStartCapture_native(SENSOR), "DcCapStartCapture");
        return dactis;
    }

    /** The image of the next touch of the sensor (the capture must run with touches). */
    Event nextImage() throws InterruptedException {
        while (true) {
            Event event = next();
            if (event.method().equals("image")) {
                return event;
            }
        }
    }
}
