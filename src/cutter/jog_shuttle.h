#pragma once

#include <cstdint>
#include <optional>

namespace sw {

// One tick of the jog timer: where the player goes from position with the knob at knob. Back
// steps add twice the play queue, since the audible frame trails the queued ones by that much;
// nothing moves at rest.
std::optional<int64_t> JogStep(int64_t position, int32_t knob, int32_t numBuffers);

// Wheel messages come in units of 1/120 notch; high-resolution wheels and touchpads send far
// smaller deltas than a notch. The accumulator keeps what is left over between messages, so
// small deltas add up to notches instead of each being truncated to nothing. A change of
// direction drops the rest of the other direction, so a reversal answers at once.
class WheelAccumulator {
  public:
    static constexpr int kNotch = 120;

    // Adds a delta; returns the whole notches now complete (signed), keeping the remainder.
    int Add(int delta);
    void Reset() { rest_ = 0; }
    int Rest() const { return rest_; }

  private:
    int rest_ = 0;
};

// Frames a number of notches moves: JogMaxSpeed each, forward for notches away from the user.
int64_t WheelFrames(int notches, int32_t jogMaxSpeed);

}  // namespace sw
