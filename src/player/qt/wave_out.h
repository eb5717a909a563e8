#pragma once

// The program's wave-output service: what the player hands MPEG frames to.
//
// Contract (every backend keeps it; the player relies on nothing else):
// - Calls. Every member is called on the thread that created the object (the GUI thread), in
//   practice only by the player. One object is one service with at most one open output.
// - Devices. DeviceCount() devices are numbered 0..n-1 with a product name each; device -1 is
//   the default output and is always a valid choice while a service is reachable.
// - Formats. Query() answers "could Open() play this format on this device" without opening
//   anything; kWaveBadFormat means the format is not playable there.
// - Buffers. Write() takes one buffer holding one whole MPEG frame and owns it from then on.
//   The buffer comes back to the listener with kBufferDone set, in the order written, once its
//   audio has been played - or at once (still in order) when Reset() drops the queue. A buffer
//   whose Write() fails is destroyed by the service and never comes back.
// - Delivery. Returned buffers are never handed to the listener from inside a call to the
//   service. They wait in a queue; a queued call posted to the creating thread's Qt event loop
//   empties it, and the player may empty it itself with DispatchPending() (its "dispatch
//   pending messages"). A backend may finish buffers on any thread; delivery is always on the
//   creating thread.
// - Playback. Open() starts the output running; Pause() holds it where it is (the held buffers
//   stay queued), Restart() resumes it. Reset() returns every queued buffer, leaves the output
//   running (not paused) and forgets the decoder's state. Close() fails with kWaveStillPlaying
//   while buffers are queued.
// - Pre-roll. Preroll() hands the decoder one frame whose audio is discarded: it rebuilds the
//   bit reservoir and overlap state before a jump, is never a buffer and never comes back.
// - Volume. Left channel in the low 16 bits, right in the high 16 bits, 0..0xFFFF each.
// - Errors. 0 is success; the codes below; a backend may add codes above 1000. ErrorText()
//   gives "" for a code it does not know.

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "stream/frame_header.h"

namespace sw {

enum WaveOutError : int {
    kWaveOk = 0,
    kWaveError = 1,
    kWaveBadDeviceId = 2,
    kWaveAllocated = 4,
    kWaveInvalidHandle = 5,
    kWaveNoDriver = 6,
    kWaveNoMemory = 7,
    kWaveNotSupported = 8,
    kWaveInvalidParam = 11,
    kWaveBadFormat = 32,
    kWaveStillPlaying = 33,
    kWaveUnprepared = 34,
};

// Codes a backend adds start here.
inline constexpr int kWaveBackendErrorBase = 1000;

inline constexpr uint32_t kBufferDone = 1;

// One wave buffer: exactly one MPEG frame, header included.
struct WaveBuffer {
    std::vector<uint8_t> data;
    uint32_t length = 0;  // bytes actually read into data
    uint32_t flags = 0;
};

class WaveOutListener {
  public:
    virtual ~WaveOutListener() = default;
    virtual void WaveOutDone(std::unique_ptr<WaveBuffer> buffer) = 0;
};

class WaveOut {
  public:
    WaveOut();
    virtual ~WaveOut();
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    virtual int DeviceCount() = 0;
    virtual int DeviceName(int device, std::string& name) = 0;

    virtual int Query(int device, const MpegLayer3WaveFormat& format) = 0;
    virtual int Open(int device, const MpegLayer3WaveFormat& format) = 0;
    virtual int Close() = 0;
    virtual int Write(std::unique_ptr<WaveBuffer> buffer) = 0;
    virtual int Preroll(const uint8_t* frame, size_t length) = 0;
    virtual int Pause() = 0;
    virtual int Restart() = 0;
    virtual int Reset() = 0;
    virtual int GetVolume(uint32_t& volume) = 0;
    virtual int SetVolume(uint32_t volume) = 0;

    // The text for a code of the service; "" when it has none.
    virtual std::string ErrorText(int code);

    void SetListener(WaveOutListener* listener) { listener_ = listener; }
    // Hands up to max returned buffers to the listener, one at a time, on the calling thread
    // (which must be the creating one). The listener may call back in. Returns how many.
    int DispatchPending(int max = 1 << 30);

  protected:
    // Queues a returned buffer (any thread) and makes sure the event loop will deliver it.
    void Complete(std::unique_ptr<WaveBuffer> buffer);

  private:
    struct Notifier;
    std::unique_ptr<Notifier> notifier_;
    WaveOutListener* listener_ = nullptr;
    std::mutex pendingMutex_;
    std::deque<std::unique_ptr<WaveBuffer>> pending_;
};

// The texts of the codes every backend shares; "" for any other code.
std::string CommonWaveOutErrorText(int code);

}  // namespace sw
