// The file-copy animation of the progress window: a sheet of paper flies from one
// folder to the other, frame after frame, for as long as it runs.
#pragma once

#include <QBasicTimer>
#include <QWidget>

namespace torvik {

class FileCopyAnimation : public QWidget {
public:
    // Frames 0 .. kStopFrame, then again from frame 0.
    static constexpr int kStopFrame = 26;
    static constexpr int kFrameMilliseconds = 60;

    explicit FileCopyAnimation(QWidget* parent);

    void Start();
    void Stop();
    bool Active() const { return timer_.isActive(); }
    int Frame() const { return frame_; }
    void SetFrame(int frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QBasicTimer timer_;
    int frame_ = 0;
};

}  // namespace torvik
