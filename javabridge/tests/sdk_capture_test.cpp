// The stand-in SDK's capture layer through libdactis.so: sensors announced, simulated
// touches on the capture thread, starting and stopping, files delivered as images, and the
// test controls that raise events on demand.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "dactis/dactis.h"
#include "dactis/dactis_testing.h"
#include "event_recorder.h"
#include "scratch_folder.h"

namespace {

using dactis::testing::EventRecorder;
using dactis::testing::RecordedEvent;
using dactis::testing::RecordFinger;
using dactis::testing::RecordImage;
using dactis::testing::RecordStatus;
using namespace std::chrono_literals;

class DactisCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        EventRecorder::Instance().Clear();
        setenv("DACTIS_SENSORS", "A,B", 1);
        setenv("DACTIS_IMAGE_SIZE", "96x112", 1);
        setenv("DACTIS_TOUCH_INTERVAL_MS", "0", 1);
    }
    void TearDown() override
    {
        DcCapFinalize();
        for (const char* name : {"DACTIS_SENSORS", "DACTIS_IMAGE_SIZE", "DACTIS_TOUCH_INTERVAL_MS"}) {
            unsetenv(name);
        }
    }

    // Initialises and waits for the announcements of both sensors.
    void Initialise()
    {
        ASSERT_EQ(DcCapInitialize(RecordStatus), DC_OK);
        const std::vector<RecordedEvent> events = EventRecorder::Instance().WaitFor(2);
        ASSERT_EQ(events.size(), 2u);
        EventRecorder::Instance().Clear();
    }
};

TEST_F(DactisCapture, EverySensorIsAnnouncedOnTheCaptureThread)
{
    ASSERT_EQ(DcCapInitialize(RecordStatus), DC_OK);
    const std::vector<RecordedEvent> events = EventRecorder::Instance().WaitFor(2);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].id, "A");
    EXPECT_EQ(events[1].id, "B");
    for (const RecordedEvent& e : events) {
        EXPECT_EQ(e.kind, "status");
        EXPECT_EQ(e.event, DC_STATUS_SENSOR_PLUGGED);
        EXPECT_NE(e.thread, std::this_thread::get_id());
    }
}

TEST_F(DactisCapture, CallsBeforeInitialisationOrForUnknownSensorsAreRefused)
{
    EXPECT_EQ(DcCapStartCapture("A", RecordFinger, RecordImage), DC_ERROR_CAPTURE_NOT_INITIALIZED);
    EXPECT_EQ(DcCapStopCapture("A"), DC_ERROR_CAPTURE_NOT_INITIALIZED);
    EXPECT_EQ(DcCapFinalize(), DC_ERROR_CAPTURE_NOT_INITIALIZED);
    EXPECT_EQ(DcCapLoadImageFromFile("/nonexistent.bmp", 500), DC_ERROR_CAPTURE_NOT_INITIALIZED);
    Initialise();
    EXPECT_EQ(DcCapStartCapture("C", RecordFinger, RecordImage), DC_ERROR_UNKNOWN_SENSOR);
    EXPECT_EQ(DcCapStopCapture("C"), DC_ERROR_UNKNOWN_SENSOR);
    EXPECT_EQ(DcCapStartCapture(nullptr, RecordFinger, RecordImage), DC_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(DcCapStopCapture("A"), DC_OK) << "a sensor that is not capturing";
    EXPECT_EQ(DcCapLoadImageFromFile("/nonexistent.bmp", 500), DC_ERROR_NO_IMAGE_CALLBACK);
}

TEST_F(DactisCapture, TouchGivesFingerDownImageFingerUpUntilStopped)
{
    setenv("DACTIS_TOUCH_INTERVAL_MS", "30", 1);
    Initialise();
    ASSERT_EQ(DcCapStartCapture("B", RecordFinger, RecordImage), DC_OK);
    std::vector<RecordedEvent> events = EventRecorder::Instance().WaitFor(6);
    ASSERT_GE(events.size(), 6u);
    for (size_t touch = 0; touch < 2; ++touch) {
        const RecordedEvent& down = events[3 * touch];
        const RecordedEvent& image = events[3 * touch + 1];
        const RecordedEvent& up = events[3 * touch + 2];
        EXPECT_EQ(down.kind, "finger");
        EXPECT_EQ(down.event, DC_FINGER_DOWN);
        EXPECT_EQ(image.kind, "image");
        EXPECT_EQ(image.id, "B");
        EXPECT_EQ(image.width, 96);
        EXPECT_EQ(image.height, 112);
        EXPECT_EQ(image.resolution, 500);
        EXPECT_EQ(up.kind, "finger");
        EXPECT_EQ(up.event, DC_FINGER_UP);
        EXPECT_NE(image.thread, std::this_thread::get_id());
    }
    EXPECT_NE(events[1].image, events[4].image) << "each touch is an impression of its own";

    ASSERT_EQ(DcCapStopCapture("B"), DC_OK);
    // A touch under way may still end; then nothing follows.
    std::this_thread::sleep_for(400ms);
    const size_t afterStop = EventRecorder::Instance().Events().size();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(EventRecorder::Instance().Events().size(), afterStop);
}

TEST_F(DactisCapture, CallbackMayStopItsOwnCaptureButNotFinalise)
{
    setenv("DACTIS_TOUCH_INTERVAL_MS", "20", 1);
    Initialise();
    std::atomic<int> finalised{1};
    EventRecorder::Instance().SetHook([&](const RecordedEvent& e) {
        if (e.kind == "image") {
            DcCapStopCapture("A");
            finalised = DcCapFinalize();
        }
    });
    ASSERT_EQ(DcCapStartCapture("A", RecordFinger, RecordImage), DC_OK);
    EventRecorder::Instance().WaitFor(2);
    std::this_thread::sleep_for(300ms);
    const std::vector<RecordedEvent> events = EventRecorder::Instance().Events();
    ASSERT_EQ(events.size(), 2u) << "finger down and image, then the capture stopped";
    EXPECT_EQ(finalised, DC_ERROR_WRONG_THREAD);
}

TEST_F(DactisCapture, ImageFileIsDeliveredThroughTheLastImageCallback)
{
    kit::testing::ScratchFolder folder;
    const std::string file = folder.Path("print.png");
    std::vector<unsigned char> image(20 * 10);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<unsigned char>(i);
    }
    ASSERT_EQ(DcCapSaveRawImageToFile(image.data(), 20, 10, file.c_str(), DC_IMAGE_FORMAT_PNG), DC_OK);
    Initialise();
    ASSERT_EQ(DcCapStartCapture("A", RecordFinger, RecordImage), DC_OK);
    ASSERT_EQ(DcCapStopCapture("A"), DC_OK);
    EXPECT_EQ(DcCapLoadImageFromFile(file.c_str(), DC_MIN_RESOLUTION - 1), DC_ERROR_INVALID_RESOLUTION);
    ASSERT_EQ(DcCapLoadImageFromFile(file.c_str(), 1000), DC_OK);
    const std::vector<RecordedEvent> events = EventRecorder::Instance().WaitFor(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "image");
    EXPECT_EQ(events[0].id, DC_FILE_SENSOR_ID);
    EXPECT_EQ(events[0].width, 20);
    EXPECT_EQ(events[0].height, 10);
    EXPECT_EQ(events[0].resolution, 1000);
    EXPECT_EQ(events[0].image, image);
    EXPECT_NE(events[0].thread, std::this_thread::get_id());
}

TEST_F(DactisCapture, TestControlRaisesEventsOnTheCallersAndOnManyThreads)
{
    EXPECT_EQ(DcTestRaiseStatus("x", 1), DC_ERROR_CAPTURE_NOT_INITIALIZED);
    Initialise();
    ASSERT_EQ(DcCapStartCapture("A", RecordFinger, RecordImage), DC_OK);
    const unsigned char pixels[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(DcTestRaiseStatus("s", 7), DC_OK);
    EXPECT_EQ(DcTestRaiseFinger("f", 8), DC_OK);
    EXPECT_EQ(DcTestRaiseImage("i", 3, 2, pixels, 9), DC_OK);
    std::vector<RecordedEvent> events = EventRecorder::Instance().Events();
    ASSERT_EQ(events.size(), 3u) << "raised before the call returned";
    EXPECT_EQ(events[0].kind + events[0].id, "statuss");
    EXPECT_EQ(events[1].kind + events[1].id, "fingerf");
    EXPECT_EQ(events[2].image, std::vector<unsigned char>(pixels, pixels + 6));
    for (const RecordedEvent& e : events) {
        EXPECT_EQ(e.thread, std::this_thread::get_id());
    }

    EventRecorder::Instance().Clear();
    ASSERT_EQ(DcTestRaiseFromThreads(3, 30), DC_OK);
    events = EventRecorder::Instance().Events();
    ASSERT_EQ(events.size(), 90u);
    std::map<std::string, int> next;
    std::set<std::thread::id> threads;
    for (const RecordedEvent& e : events) {
        const int i = next[e.id]++;
        threads.insert(e.thread);
        EXPECT_EQ(e.kind, i % 3 == 0 ? "status" : i % 3 == 1 ? "finger" : "image") << e.id << " " << i;
        if (e.kind == "image") {
            EXPECT_EQ(e.resolution, i);
            EXPECT_EQ(e.width, 8);
            EXPECT_EQ(e.height, 2 + (e.id.back() - '0'));
            EXPECT_EQ(e.image[3], (i + 3) & 0xFF);
        } else {
            EXPECT_EQ(e.event, i);
        }
    }
    EXPECT_EQ(next, (std::map<std::string, int>{{"thread-0", 30}, {"thread-1", 30}, {"thread-2", 30}}));
    EXPECT_EQ(threads.size(), 3u);
    EXPECT_EQ(DcTestRaiseFromThreads(0, 1), DC_ERROR_INVALID_ARGUMENT);
}

}  // namespace
