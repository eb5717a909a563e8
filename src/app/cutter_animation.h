#pragma once

#include <QTimer>
#include <QWidget>

namespace sw {

// "CUTTERANIM": a small looping animation of a cut running through a waveform, painted on a
// transparent background. It takes no focus.
class CutterAnimation : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFrameCount = 25;
    static constexpr int kFrameInterval = 80;  // milliseconds

    explicit CutterAnimation(QWidget* parent = nullptr);

    void Start() { timer_.start(); }
    void Stop() { timer_.stop(); }
    bool Running() const { return timer_.isActive(); }
    int Frame() const { return frame_; }
    // Shows the next frame, after the last the first again.
    void Advance();

    QSize sizeHint() const override { return {64, 48}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace sw
