#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "player/qt/wave_out.h"

namespace sw {

// A deterministic service for tests. Nothing plays by itself: Advance() is the clock, and only
// it returns played buffers, so a test can assert exact positions without sleeping. Every call
// is logged; any call can be made to fail once.
class TestWaveOut : public WaveOut {
  public:
    enum class Op {
        Query,
        Open,
        Close,
        Write,
        Preroll,
        Pause,
        Restart,
        Reset,
        GetVolume,
        SetVolume
    };

    struct Event {
        Op op;
        int arg = 0;                // device for Query/Open, volume for SetVolume
        std::vector<uint8_t> data;  // the bytes of a Write or Preroll
    };

    explicit TestWaveOut(std::vector<std::string> deviceNames = {"Test device"});

    // Plays the oldest count queued buffers unless the output is paused; returns how many came
    // back (they are delivered through the event loop like real ones).
    int Advance(int count = 1);
    // The next call of op fails with code, once.
    void FailNext(Op op, int code) { failures_[op] = code; }
    void RejectFormats(bool reject) { rejectFormats_ = reject; }

    const std::vector<Event>& Events() const { return events_; }
    void ClearEvents() { events_.clear(); }
    int Queued() const { return static_cast<int>(queue_.size()); }
    bool IsOpen() const { return open_; }
    bool Paused() const { return paused_; }
    int OpenDevice() const { return device_; }
    uint32_t DeviceVolume() const { return volume_; }
    const MpegLayer3WaveFormat& OpenFormat() const { return format_; }

    int DeviceCount() override { return static_cast<int>(names_.size()); }
    int DeviceName(int device, std::string& name) override;
    int Query(int device, const MpegLayer3WaveFormat& format) override;
    int Open(int device, const MpegLayer3WaveFormat& format) override;
    int Close() override;
    int Write(std::unique_ptr<WaveBuffer> buffer) override;
    int Preroll(const uint8_t* frame, size_t length) override;
    int Pause() override;
    int Restart() override;
    int Reset() override;
    int GetVolume(uint32_t& volume) override;
    int SetVolume(uint32_t volume) override;

  private:
    // Logs the call and returns the injected failure for it, 0 when none.
    int Enter(Op op, int arg = 0, std::vector<uint8_t> data = {});
    int CheckFormat(int device, const MpegLayer3WaveFormat& format) const;

    std::vector<std::string> names_;
    std::vector<Event> events_;
    std::map<Op, int> failures_;
    std::deque<std::unique_ptr<WaveBuffer>> queue_;
    MpegLayer3WaveFormat format_{};
    bool rejectFormats_ = false;
    bool open_ = false;
    bool paused_ = false;
    int device_ = -2;
    uint32_t volume_ = 0xFFFFFFFF;  // kept across opens, like a device's own volume
};

}  // namespace sw
