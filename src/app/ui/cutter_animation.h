#pragma once

#include "widgets/ui/looped_animation.h"

namespace sw {

// "CUTTERANIM": a small looping animation of a cut running through a waveform, painted on a
// transparent background. It takes no focus.
class CutterAnimation : public LoopedAnimation {
    Q_OBJECT

  public:
    static constexpr int kFrameCount = 25;
    static constexpr int kFrameInterval = 80;  // milliseconds

    explicit CutterAnimation(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {64, 48}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace sw
