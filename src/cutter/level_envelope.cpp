#include "cutter/level_envelope.h"

#include <algorithm>
#include <cmath>

namespace sw {

LevelEnvelope::LevelEnvelope(int32_t frames)
    : coarse_(size_t(std::max(frames, 0))), exact_(size_t(std::max(frames, 0))) {}

std::string LevelEnvelope::Failure() const {
    return failed_.load(std::memory_order_acquire) ? failure_ : std::string();
}

void LevelEnvelope::SetFailure(const std::string& why) {
    if (failed_.load(std::memory_order_acquire)) {
        return;
    }
    failure_ = why;
    failed_.store(true, std::memory_order_release);
}

ColumnLevel LevelEnvelope::Column(int32_t first, int32_t end) const {
    ColumnLevel column;
    first = std::max(first, 0);
    end = std::min(end, Frames());
    if (first >= end) {
        return column;
    }
    const int32_t exactEnd = std::clamp(ExactFrames(), first, end);
    const int32_t coarseEnd = std::clamp(CoarseFrames(), exactEnd, end);
    double sumOfSquares = 0;
    uint16_t peak = 0;
    for (int32_t frame = first; frame < exactEnd; ++frame) {
        const FrameLevel& level = exact_[size_t(frame)];
        peak = std::max(peak, level.peak);
        sumOfSquares += double(level.rms) * level.rms;
    }
    // An estimate is of the peak only; a steady tone's RMS is 0.7 of its peak, music's less.
    for (int32_t frame = exactEnd; frame < coarseEnd; ++frame) {
        const double level = coarse_[size_t(frame)];
        peak = std::max(peak, coarse_[size_t(frame)]);
        sumOfSquares += level * level * 0.25;
    }
    column.peak = peak;
    column.rms = uint16_t(std::min(std::sqrt(sumOfSquares / double(end - first)), double(peak)));
    column.exact = exactEnd == end;
    return column;
}

}  // namespace sw
