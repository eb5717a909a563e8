#include "cutter/jog_shuttle.h"

namespace sw {

std::optional<int64_t> JogStep(int64_t position, int32_t knob, int32_t numBuffers) {
    if (knob < 0) {
        return position + knob - 2 * int64_t(numBuffers);
    }
    if (knob > 0) {
        return position + knob;
    }
    return std::nullopt;
}

int WheelAccumulator::Add(int delta) {
    if ((delta > 0 && rest_ < 0) || (delta < 0 && rest_ > 0)) {
        rest_ = 0;
    }
    // 64 bits: a flood of large deltas must not overflow before it is taken out.
    const int64_t total = int64_t(rest_) + delta;
    const int64_t notches = total / kNotch;  // truncates toward zero, as the notch count does
    rest_ = int(total - notches * kNotch);
    return int(notches);
}

int64_t WheelFrames(int notches, int32_t jogMaxSpeed) {
    return int64_t(notches) * jogMaxSpeed;
}

}  // namespace sw
