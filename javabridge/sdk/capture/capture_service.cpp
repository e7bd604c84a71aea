#include "capture/capture_service.h"

#include <utility>

#include "core/immortal.h"

namespace dactis {

CaptureService& CaptureService::Instance()
{
    static Immortal<CaptureService> instance;
    return instance.get();
}

int CaptureService::Initialize(DcStatusCallback status)
{
    std::lock_guard lock(mutex_);
    callbacks_.status = status;
    if (initialized_) {
        return DC_OK;
    }
    settings_ = CaptureSettingsFromEnvironment();
    sensors_.clear();
    jobs_.clear();
    for (size_t i = 0; i < settings_.sensors.size(); ++i) {
        sensors_.push_back(
            std::make_unique<Sensor>(SimulatedSensor(settings_.sensors[i], static_cast<int>(i), settings_.sensor)));
        jobs_.push_back({Job::Kind::Announce, settings_.sensors[i], {}, 0, nullptr});
    }
    stopping_ = false;
    thread_ = std::thread([this] { Run(); });
    threadId_ = thread_.get_id();
    initialized_ = true;
    callbacks_.initialized = true;
    return DC_OK;
}

int CaptureService::Finalize()
{
    {
        std::lock_guard lock(mutex_);
        if (!initialized_) {
            return DC_ERROR_CAPTURE_NOT_INITIALIZED;
        }
        if (std::this_thread::get_id() == threadId_) {
            return DC_ERROR_WRONG_THREAD;
        }
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    std::lock_guard lock(mutex_);
    initialized_ = false;
    callbacks_ = {};
    sensors_.clear();
    jobs_.clear();
    return DC_OK;
}

CaptureService::Sensor* CaptureService::Find(const std::string& id)
{
    for (auto& sensor : sensors_) {
        if (sensor->simulated.Id() == id) {
            return sensor.get();
        }
    }
    return nullptr;
}

int CaptureService::Start(const std::string& id, DcFingerCallback finger, DcImageCallback image)
{
    {
        std::lock_guard lock(mutex_);
        if (!initialized_) {
            return DC_ERROR_CAPTURE_NOT_INITIALIZED;
        }
        Sensor* sensor = Find(id);
        if (sensor == nullptr) {
            return DC_ERROR_UNKNOWN_SENSOR;
        }
        if (!sensor->capturing) {
            sensor->capturing = true;
            ++sensor->session;
            sensor->nextTouch = Clock::now() + std::chrono::milliseconds(settings_.touchIntervalMs);
        }
        sensor->finger = finger;
        sensor->image = image;
        callbacks_.finger = finger;
        callbacks_.image = image;
    }
    wake_.notify_all();
    return DC_OK;
}

int CaptureService::Stop(const std::string& id)
{
    std::lock_guard lock(mutex_);
    if (!initialized_) {
        return DC_ERROR_CAPTURE_NOT_INITIALIZED;
    }
    Sensor* sensor = Find(id);
    if (sensor == nullptr) {
        return DC_ERROR_UNKNOWN_SENSOR;
    }
    if (sensor->capturing) {
        sensor->capturing = false;
        ++sensor->session;
    }
    return DC_OK;
}

int CaptureService::QueueImage(fpsynth::GreyImage image, int resolution)
{
    {
        std::lock_guard lock(mutex_);
        if (!initialized_) {
            return DC_ERROR_CAPTURE_NOT_INITIALIZED;
        }
        if (callbacks_.image == nullptr) {
            return DC_ERROR_NO_IMAGE_CALLBACK;
        }
        jobs_.push_back({Job::Kind::Image, DC_FILE_SENSOR_ID, std::move(image), resolution, callbacks_.image});
    }
    wake_.notify_all();
    return DC_OK;
}

RegisteredCallbacks CaptureService::Callbacks()
{
    std::lock_guard lock(mutex_);
    return callbacks_;
}

void CaptureService::Run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!jobs_.empty()) {
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            const DcStatusCallback status = callbacks_.status;
            lock.unlock();
            if (job.kind == Job::Kind::Announce) {
                if (status != nullptr) {
                    status(job.id.c_str(), DC_STATUS_SENSOR_PLUGGED);
                }
            } else {
                job.imageCallback(job.id.c_str(), job.image.width, job.image.height, job.image.pixels.data(),
                                  job.resolution);
            }
            lock.lock();
            continue;
        }
        const Clock::time_point now = Clock::now();
        Sensor* due = nullptr;
        Clock::time_point wakeAt = Clock::time_point::max();
        if (settings_.touchIntervalMs > 0) {
            for (auto& sensor : sensors_) {
                if (!sensor->capturing) {
                    continue;
                }
                if (sensor->nextTouch <= now && due == nullptr) {
                    due = sensor.get();
                }
                wakeAt = std::min(wakeAt, sensor->nextTouch);
            }
        }
        if (due != nullptr) {
            Touch(lock, *due);
            continue;
        }
        if (wakeAt == Clock::time_point::max()) {
            wake_.wait(lock);
        } else {
            wake_.wait_until(lock, wakeAt);
        }
    }
}

// Called and returning with the lock held; each callback runs without it, and only while
// the capture that the touch began in is still the sensor's current one.
void CaptureService::Touch(std::unique_lock<std::mutex>& lock, Sensor& sensor)
{
    const uint64_t session = sensor.session;
    const std::string id = sensor.simulated.Id();
    const int resolution = sensor.simulated.Resolution();
    auto stillCapturing = [&] { return !stopping_ && sensor.capturing && sensor.session == session; };

    DcFingerCallback finger = sensor.finger;
    lock.unlock();
    if (finger != nullptr) {
        finger(id.c_str(), DC_FINGER_DOWN);
    }
    const fpsynth::GreyImage image = sensor.simulated.NextTouch();
    lock.lock();
    if (stillCapturing() && sensor.image != nullptr) {
        const DcImageCallback deliver = sensor.image;
        lock.unlock();
        deliver(id.c_str(), image.width, image.height, image.pixels.data(), resolution);
        lock.lock();
    }
    if (stillCapturing() && sensor.finger != nullptr) {
        finger = sensor.finger;
        lock.unlock();
        finger(id.c_str(), DC_FINGER_UP);
        lock.lock();
    }
    sensor.nextTouch = Clock::now() + std::chrono::milliseconds(settings_.touchIntervalMs);
}

}  // namespace dactis
