#include "widgets/ui/looped_animation.h"

namespace sw {

LoopedAnimation::LoopedAnimation(int frameCount, int frameInterval, QWidget* parent)
    : QWidget(parent), frameCount_(frameCount > 0 ? frameCount : 1) {
    setFocusPolicy(Qt::NoFocus);
    timer_.setInterval(frameInterval);
    connect(&timer_, &QTimer::timeout, this, &LoopedAnimation::Advance);
}

void LoopedAnimation::Advance() {
    frame_ = (frame_ + 1) % frameCount_;
    update();
}

}  // namespace sw
