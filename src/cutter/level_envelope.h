#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "cutter/coarse_level.h"

namespace sw {

// One frame's decoded level: its largest sample value and the RMS of its samples, each the
// larger of the two channels', on the 16-bit scale of CoarseFrameLevel.
struct FrameLevel {
    uint16_t peak = 0;
    uint16_t rms = 0;
};

// What one pixel column shows for the frames it covers: their largest peak and the RMS over all
// of them. exact is false when any of them is still only estimated.
struct ColumnLevel {
    uint16_t peak = 0;
    uint16_t rms = 0;
    bool exact = false;
};

// The level of every frame of one file, in two steps: an estimate from the compressed frames
// (CoarseFrameLevel), then the decoded level. One worker fills it from the first frame on and
// publishes how far each step has come; readers on other threads look only at what has been
// published, so they never wait and never see a half-written value. Six bytes a frame.
class LevelEnvelope {
  public:
    explicit LevelEnvelope(int32_t frames);
    LevelEnvelope(const LevelEnvelope&) = delete;
    LevelEnvelope& operator=(const LevelEnvelope&) = delete;

    int32_t Frames() const { return int32_t(exact_.size()); }

    // How many frames from the first on have their estimate, and their decoded level.
    int32_t CoarseFrames() const { return coarseCount_.load(std::memory_order_acquire); }
    int32_t ExactFrames() const { return exactCount_.load(std::memory_order_acquire); }
    bool Complete() const { return ExactFrames() == Frames(); }

    // Why the decoded levels stopped short of the end ("" while none did): the file could not be
    // read, or changed under the index.
    std::string Failure() const;

    // The worker's side: values for frames not yet published, then how many now are.
    void SetCoarse(int32_t frame, uint16_t level) { coarse_[size_t(frame)] = level; }
    void PublishCoarse(int32_t count) { coarseCount_.store(count, std::memory_order_release); }
    void SetExact(int32_t frame, FrameLevel level) { exact_[size_t(frame)] = level; }
    void PublishExact(int32_t count) { exactCount_.store(count, std::memory_order_release); }
    void SetFailure(const std::string& why);

    // The frames [first, end) as one column: decoded levels where they exist, estimates beyond;
    // frames outside the file and frames without either count as silence.
    ColumnLevel Column(int32_t first, int32_t end) const;

  private:
    std::vector<uint16_t> coarse_;
    std::vector<FrameLevel> exact_;
    std::atomic<int32_t> coarseCount_{0};
    std::atomic<int32_t> exactCount_{0};
    std::atomic<bool> failed_{false};
    // Written once, before failed_ is set.
    std::string failure_;
};

}  // namespace sw
