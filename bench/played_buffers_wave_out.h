#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "player/qt/wave_out.h"

namespace sw::bench {

// A wave output that plays through another and notes when each buffer comes back played, so a
// benchmark can time "the first buffer played after this moment" exactly as the player sees it:
// the moment the buffer is handed back on the GUI thread. Buffers that a Reset hands back unplayed
// (a seek, a pause, a close) are told apart and never count as played.
//
// Returned buffers reach the player as the inner service delivers them: from the event loop at
// once, and inside a call to this service (a Write dispatching nested returns) only through the
// player's own DispatchPending, as the contract requires.
class PlayedBuffersWaveOut : public WaveOut, private WaveOutListener {
  public:
    using Clock = std::chrono::steady_clock;

    explicit PlayedBuffersWaveOut(std::unique_ptr<WaveOut> inner);
    ~PlayedBuffersWaveOut() override;

    // Buffers played since the output was made, and when the last of them came back.
    int64_t Played() const { return played_; }
    Clock::time_point LastPlayedAt() const { return lastPlayedAt_; }

    int DeviceCount() override { return inner_->DeviceCount(); }
    int DeviceName(int device, std::string& name) override {
        return inner_->DeviceName(device, name);
    }
    int Query(int device, const MpegLayer3WaveFormat& format) override {
        return inner_->Query(device, format);
    }
    int Open(int device, const MpegLayer3WaveFormat& format) override;
    int Close() override;
    int Write(std::unique_ptr<WaveBuffer> buffer) override;
    int Preroll(const uint8_t* frame, size_t length) override;
    int Pause() override;
    int Restart() override;
    int Reset() override;
    int GetVolume(uint32_t& volume) override;
    int SetVolume(uint32_t volume) override;
    std::string ErrorText(int code) override { return inner_->ErrorText(code); }

  private:
    void WaveOutDone(std::unique_ptr<WaveBuffer> buffer) override;

    std::unique_ptr<WaveOut> inner_;
    int insideCall_ = 0;
    // Written and not yet back, and those of them a Reset gave up (they come back first).
    int64_t outstanding_ = 0;
    int64_t dropped_ = 0;
    int64_t played_ = 0;
    Clock::time_point lastPlayedAt_{};
};

}  // namespace sw::bench
