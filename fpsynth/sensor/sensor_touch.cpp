// A touch as a sequence of frames: placing, holding, lifting.
#include "core/det_math.h"
#include "core/random.h"
#include "fpsynth/sensor.h"

namespace fpsynth {

SensorTouch::SensorTouch(MasterFingerprint master, uint64_t seed, TouchScript script)
    : master_(std::move(master)), script_(script), seed_(seed)
{
    script_.placingFrames = script_.placingFrames < 0 ? 0 : script_.placingFrames;
    script_.liftingFrames = script_.liftingFrames < 0 ? 0 : script_.liftingFrames;
    Random random(seed);
    base_.skinSeed = random.Next();
    base_.sensitivity = random.Uniform(0.75, 1.3);
    base_.pressure = Clamp(random.Normal(0.5, 0.12), 0.15, 0.85);
    base_.rotation = Clamp(random.Normal(0.0, 6.0), -15.0, 15.0);
    base_.shiftX = Clamp(random.Normal(0.0, 14.0), -40.0, 40.0);
    base_.shiftY = Clamp(random.Normal(0.0, 10.0), -30.0, 30.0);
    liftFrom_ = script_.holdingFrames < 0 ? -1 : script_.placingFrames + script_.holdingFrames;
}

TouchPhase SensorTouch::Phase() const
{
    if (frame_ < script_.placingFrames && (liftFrom_ < 0 || frame_ < liftFrom_)) {
        return TouchPhase::Placing;
    }
    if (liftFrom_ < 0 || frame_ < liftFrom_) {
        return TouchPhase::Holding;
    }
    return frame_ < liftFrom_ + script_.liftingFrames ? TouchPhase::Lifting : TouchPhase::Lifted;
}

void SensorTouch::Lift()
{
    if (liftFrom_ < 0 || frame_ < liftFrom_) {
        liftFrom_ = frame_;
    }
}

SensorPose SensorTouch::PoseOfFrame(int frame) const
{
    SensorPose pose = base_;
    pose.noiseSeed = DeriveSeed(seed_, static_cast<uint64_t>(frame) * 2 + 1);
    Random jitter(DeriveSeed(seed_, static_cast<uint64_t>(frame) * 2 + 2));
    // The finger slides the last few pixels into place while it is being put down.
    Random drift(DeriveSeed(seed_, 0));
    const double driftX = drift.Normal(0.0, 8.0);
    const double driftY = drift.Normal(0.0, 8.0);
    switch (Phase()) {
        case TouchPhase::Placing: {
            const double share = (frame + 1.0) / (script_.placingFrames + 1.0);
            pose.contact = share;
            pose.pressure = Clamp(base_.pressure * (0.6 + 0.4 * share), 0.0, 1.0);
            pose.shiftX += driftX * (1.0 - share);
            pose.shiftY += driftY * (1.0 - share);
            break;
        }
        case TouchPhase::Holding:
            pose.contact = 1.0 - jitter.Uniform(0.0, 0.015);
            pose.pressure = Clamp(base_.pressure + jitter.Normal(0.0, 0.01), 0.0, 1.0);
            pose.shiftX += jitter.Normal(0.0, 0.3);
            pose.shiftY += jitter.Normal(0.0, 0.3);
            break;
        case TouchPhase::Lifting: {
            const int step = frame - liftFrom_;
            pose.contact = 1.0 - (step + 1.0) / (script_.liftingFrames + 1.0);
            pose.pressure = Clamp(base_.pressure * pose.contact, 0.0, 1.0);
            break;
        }
        case TouchPhase::Lifted:
            pose.contact = 0.0;
            break;
    }
    return pose;
}

SensorFrame SensorTouch::Capture(uint8_t gain)
{
    const TouchPhase phase = Phase();
    SensorFrame frame = RenderSensorFrame(master_, PoseOfFrame(frame_), gain);
    frame.phase = phase;
    ++frame_;
    return frame;
}

}  // namespace fpsynth
