// The capture layer's state and its thread. The thread announces the sensors, delivers
// images loaded from files and, for every capturing sensor, simulates a touch at each
// interval: finger down, the image, finger up. Callbacks run on the thread without the
// lock held, so a callback may call the capture functions (except DcCapFinalize).
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/capture_settings.h"
#include "capture/simulated_sensor.h"
#include "dactis/dactis.h"

namespace dactis {

struct RegisteredCallbacks {
    DcStatusCallback status = nullptr;
    DcFingerCallback finger = nullptr;  // registered last by DcCapStartCapture
    DcImageCallback image = nullptr;
    bool initialized = false;
};

class CaptureService {
public:
    static CaptureService& Instance();

    int Initialize(DcStatusCallback status);
    int Finalize();
    int Start(const std::string& id, DcFingerCallback finger, DcImageCallback image);
    int Stop(const std::string& id);
    // Queues the image for the image callback registered last.
    int QueueImage(fpsynth::GreyImage image, int resolution);

    RegisteredCallbacks Callbacks();

private:
    using Clock = std::chrono::steady_clock;

    struct Sensor {
        explicit Sensor(SimulatedSensor simulated) : simulated(std::move(simulated)) {}
        SimulatedSensor simulated;  // used by the capture thread only
        bool capturing = false;
        uint64_t session = 0;  // changes with every start and stop
        DcFingerCallback finger = nullptr;
        DcImageCallback image = nullptr;
        Clock::time_point nextTouch;
    };

    struct Job {
        enum class Kind { Announce, Image } kind = Kind::Announce;
        std::string id;
        fpsynth::GreyImage image;
        int resolution = 0;
        DcImageCallback imageCallback = nullptr;
    };

    void Run();
    void Touch(std::unique_lock<std::mutex>& lock, Sensor& sensor);
    Sensor* Find(const std::string& id);

    std::mutex mutex_;
    std::condition_variable wake_;
    bool initialized_ = false;
    bool stopping_ = false;
    std::thread thread_;
    std::thread::id threadId_;
    CaptureSettings settings_;
    RegisteredCallbacks callbacks_;
    std::vector<std::unique_ptr<Sensor>> sensors_;
    std::deque<Job> jobs_;
};

}  // namespace dactis
