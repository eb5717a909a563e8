#pragma once

#include <QObject>
#include <cstdint>
#include <memory>

#include "player/player_mode.h"
#include "player/qt/wave_out.h"
#include "stream/cut_object.h"

namespace sw {

// Plays a scanned file frame by frame: one MPEG frame per wave buffer, so the audible frame is
// always known exactly (the next frame to queue minus the buffers still queued).
//
// Despite the name it has no thread: it lives on the GUI thread, and everything - the client's
// calls, the service's returned buffers (delivered through the event loop) and the four events -
// runs there. Each returned buffer refills the queue by one frame; queuing a frame dispatches
// the service's pending returns, so fills nest, bounded by the queue depth.
//
// Operations return a wave-output error code (0 success). The player adds 1 (an exception inside
// an operation), 5 (no file or device), 8 (the device cannot play the file's format), 11 (Open
// without a cut object) and 34 (a frame read gave no bytes). The last error is sticky: while it
// is not 0 nothing is queued; Close clears it, and each call to the service stores its result.
class TCutPlayerThread : public QObject, private WaveOutListener {
    Q_OBJECT

  public:
    // The player owns the service; by default the sound server's, or the null one.
    explicit TCutPlayerThread(std::unique_ptr<WaveOut> waveOut = nullptr,
                              QObject* parent = nullptr);
    ~TCutPlayerThread() override;

    // The client must Close (or open another file) before it frees the cut object.
    int Open(TCutObject* cut);
    int Close();
    bool Play() { return RequestMode(kModePlayAll); }
    bool PlayMark() { return RequestMode(kModePlayMark); }
    bool Cue() { return RequestMode(kModeCueing); }
    bool Pause() { return RequestMode(kModePausing); }
    bool Stop() { return RequestMode(kModeStopped); }
    // Drops the queued frames and goes on from the audible one (staying paused when pausing).
    int Flush();

    bool Active() const { return active_; }
    void SetActive(bool active);
    bool LoopMode() const { return loopMode_; }
    void SetLoopMode(bool loopMode) { loopMode_ = loopMode; }
    bool MuteMode() const { return muteMode_; }
    void SetMuteMode(bool mute);
    // How many frames are queued ahead while playing ("NumBuffers") and how many a cue repeats
    // ("CueBuffers"). The caller hands in the settings; the player reads none itself. Values
    // below 1 mean the defaults (16 and 6), larger ones are capped at 256.
    void SetQueueDepths(int32_t numBuffers, int32_t cueBuffers);
    int32_t PlayerMode() const { return mode_; }
    void SetPlayerMode(int32_t mode);
    int32_t PlayerState() const { return state_; }
    uint32_t Position() const;
    // Clamped to 0..last frame; a negative frame (a jump back past the start) becomes 0.
    void SetPosition(int64_t frame);
    uint32_t Volume();
    void SetVolume(uint32_t volume);
    int32_t WaveDevice() const { return waveDevice_; }
    void SetWaveDevice(int32_t device);

    int LastError() const { return lastError_; }
    int QueuedBuffers() const { return queued_; }
    int32_t NextFrame() const { return next_; }
    TCutObject* CutObject() const { return cut_; }
    WaveOut& Output() { return *waveOut_; }

  signals:
    void OnPlayerModeChange(int mode);
    void OnPlayerStateChange(int state);
    void OnProgress(uint32_t position);
    void OnError(int code);

  private:
    void WaveOutDone(std::unique_ptr<WaveBuffer> buffer) override;

    bool RequestMode(int32_t mode);
    void ApplyMute(bool mute);
    void FillQueue();
    bool EndCheck();
    int QueueFrame();
    void PrerollBefore(int32_t frame);
    void ResetDevice();
    int32_t LastFrame() const;
    int32_t AudibleFrame() const;

    std::unique_ptr<WaveOut> waveOut_;
    TCutObject* cut_ = nullptr;
    bool deviceOpen_ = false;
    int32_t mode_ = kModeNone;
    int32_t state_ = kStateClosed;
    int32_t waveDevice_ = -1;
    uint32_t storedVolume_ = 0xA000A000;
    int32_t cuePosition_ = 0;
    int32_t next_ = 0;
    bool active_ = false;
    bool loopMode_ = false;
    bool muteMode_ = false;
    int lastError_ = 0;
    int queued_ = 0;
    int numBuffers_;
    int cueBuffers_;
    // The last frame the decoder saw, or kNoFrameHanded after an open or reset: any other
    // predecessor of the next queued frame means a jump, which needs a pre-roll.
    static constexpr int32_t kNoFrameHanded = -2;
    int32_t lastHanded_ = kNoFrameHanded;
};

}  // namespace sw
