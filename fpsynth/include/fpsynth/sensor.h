// Frames as the fingerprint reader's sensor delivers them, for the reader simulation.
//
// A frame is 440 x 360 bytes. Off the finger it is black (grey levels 0 to 10); the part of
// the finger touching the glass is bright (levels 11 to 255) with darker ridges. The finger
// is sampled at 625 dpi (1.25 frame pixels per master pixel), so that the reader's picking
// of 4 frame pixels in 5 gives its 352 x 288 image at 500 dpi.
//
// Brightness follows the gain byte of the capture command. A finger pixel of reflectance r
// (about 0.85 to 0.95 between ridges, 0.25 to 0.4 on them) on a finger of sensitivity s
// (0.75 to 1.3, drawn per touch) shows
//
//     level = min(255, max(11, round(12 + r * s * (8 + 1.6 * gain) + n)))
//
// where n is sensor noise of a few levels. The mean level of the finger therefore rises
// strictly with the gain until it saturates; for a typical finger (s = 1, mean r about 0.6)
// it is about 17 at gain 0, 90 at gain 75 and saturated near gain 255, so the reader's
// exposure control settles from a dark start and from a bright one.
#pragma once

#include <cstdint>
#include <vector>

#include "fpsynth/fingerprint.h"
#include "fpsynth/master.h"

namespace fpsynth {

inline constexpr int kSensorFrameWidth = 440;
inline constexpr int kSensorFrameHeight = 360;
inline constexpr double kSensorScale = 1.25;  // frame pixels per master pixel
inline constexpr int kSensorBlackLevel = 10;  // off-finger pixels never exceed it

// The level formula above without noise; monotonic in gain, reflectance and sensitivity.
int SensorLevel(double reflectance, double sensitivity, uint8_t gain);

// One moment of a finger on the sensor.
struct SensorPose {
    double contact = 1.0;  // how much of the full contact patch touches: 0 none .. 1 pressed
    double shiftX = 0;     // of the contact centre from the frame centre, frame pixels
    double shiftY = 0;
    double rotation = 0;       // degrees, clockwise on screen
    double pressure = 0.5;     // 0 light .. 1 hard: ridge thickness
    double sensitivity = 1.0;  // 0.75 .. 1.3
    uint64_t skinSeed = 1;     // the contact patch and skin; the same for every frame of a touch
    uint64_t noiseSeed = 1;    // the sensor noise of this frame
};

enum class TouchPhase { Placing, Holding, Lifting, Lifted };

struct SensorFrame {
    GreyImage image;       // 440 x 360
    GreyImage finger;      // 255 where the finger touches (image level above 10), else 0
    int fingerPixels = 0;  // pixels above level 10
    TouchPhase phase = TouchPhase::Holding;
    std::vector<Minutia> minutiae;  // of the master, in frame coordinates, well inside the contact
};

SensorFrame RenderSensorFrame(const MasterFingerprint& master, const SensorPose& pose, uint8_t gain);

// How a touch unfolds, in frames.
struct TouchScript {
    int placingFrames = 4;   // contact grows to the full patch, the finger settling into place
    int holdingFrames = 40;  // held, with small changes of pressure and tremor; -1: until Lift()
    int liftingFrames = 3;   // contact shrinks; afterwards frames are black
};

// A finger placed on the sensor, held and lifted, one frame per capture.
class SensorTouch {
public:
    SensorTouch(MasterFingerprint master, uint64_t seed, TouchScript script = {});

    // The next frame, as captured at this gain; then the touch moves on.
    SensorFrame Capture(uint8_t gain);
    // Phase of the frame the next Capture returns.
    TouchPhase Phase() const;
    // Ends the holding now: the next frames lift the finger.
    void Lift();
    double Sensitivity() const { return base_.sensitivity; }

private:
    SensorPose PoseOfFrame(int frame) const;

    MasterFingerprint master_;
    TouchScript script_;
    SensorPose base_;
    uint64_t seed_;
    int frame_ = 0;
    int liftFrom_;  // frame at which lifting starts
};

}  // namespace fpsynth
