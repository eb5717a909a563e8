#pragma once

#include "widgets/ui/looped_animation.h"

namespace sw {

// "CHECKWEB": a small looping animation of a globe whose meridians turn while a page travels
// to it, shown while the update check downloads. It takes no focus.
class CheckWebAnimation : public LoopedAnimation {
    Q_OBJECT

  public:
    static constexpr int kFrameCount = 24;
    static constexpr int kFrameInterval = 70;  // milliseconds

    explicit CheckWebAnimation(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {272, 60}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace sw
