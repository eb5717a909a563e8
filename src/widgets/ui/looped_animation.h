#pragma once

#include <QTimer>
#include <QWidget>

namespace sw {

// The program's small animation clips ("CUTTERANIM", "CHECKWEB"): a painted widget that steps
// through frameCount frames, one every frameInterval milliseconds, and starts over after the
// last. Subclasses paint Frame(). It takes no focus.
class LoopedAnimation : public QWidget {
    Q_OBJECT

  public:
    LoopedAnimation(int frameCount, int frameInterval, QWidget* parent = nullptr);

    void Start() { timer_.start(); }
    void Stop() { timer_.stop(); }
    bool Running() const { return timer_.isActive(); }
    int Frame() const { return frame_; }
    int FrameCount() const { return frameCount_; }
    // Shows the next frame, after the last the first again.
    void Advance();

  private:
    QTimer timer_;
    int frameCount_;
    int frame_ = 0;
};

}  // namespace sw
