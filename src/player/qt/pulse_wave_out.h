#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "player/mpeg_frame_decoder.h"
#include "player/qt/wave_out.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_time_event;
struct pa_sink_info;
struct pa_sink_input_info;
struct pa_operation;
struct pa_mainloop_api;

namespace sw {

// The real service: each frame is decoded with libmpg123 on the caller's thread and its samples
// are written to a PulseAudio playback stream (asynchronous API, threaded main loop; PipeWire's
// pulse server works the same). Devices are the server's sinks in index order, device -1 the
// default sink.
//
// A buffer is done when the stream's playback time (pa_stream_get_time, which accounts for the
// sink's latency) has passed the end of that buffer's samples; a timer on the main loop's thread
// checks this when the next buffer is due and hands finished buffers to the base class, which
// delivers them on the GUI thread. Pause and restart cork and uncork the stream. Reset returns
// the queue, drops the stream and restarts the decoder feed; the next stream is made by the next
// write, so its clock starts with its audio. Prebuffering is set below the shortest frame, so
// playback starts with the first written frame; when the stream runs dry, the clock is carried
// on by the wall clock for what the sink still holds, so the last buffers come back too.
class PulseWaveOut : public WaveOut {
  public:
    PulseWaveOut();
    ~PulseWaveOut() override;

    // Connects to the server (never spawns one). kWaveNoDriver when none answers.
    int Connect();
    bool Connected() const;

    int DeviceCount() override;
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
    std::string ErrorText(int code) override;

  private:
    struct Sink {
        uint32_t index;
        std::string name;
        std::string description;
    };
    struct Queued {
        std::unique_ptr<WaveBuffer> buffer;
        uint64_t end;  // samples per channel written up to this buffer's last
    };
    class Lock;

    // All of these run with the main loop locked.
    int ServerError();
    bool ContextReady();
    int RefreshSinks();
    int WaitFor(pa_operation* operation);
    int CreateStream();
    void DestroyStream();
    int Cork(bool cork);
    void ArmCheck(uint64_t delayUsec);
    void StopCheck();
    void CheckPlayed();  // on the main loop's thread, from the timer

    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnSuccess(pa_stream* stream, int success, void* self);
    static void OnContextSuccess(pa_context* context, int success, void* self);
    static void OnSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void OnSinkInputInfo(pa_context* context, const pa_sink_input_info* info, int eol,
                                void* self);
    static void OnUnderflow(pa_stream* stream, void* self);
    static void OnStarted(pa_stream* stream, void* self);
    static void OnTimer(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv,
                        void* self);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_time_event* timer_ = nullptr;
    std::string connectError_;

    std::vector<Sink> sinks_;
    std::vector<Sink> sinksReading_;
    std::string sinkName_;  // "" for the default sink
    int rate_ = 0;
    int channels_ = 0;
    bool open_ = false;
    bool paused_ = false;
    bool timerArmed_ = false;
    uint32_t volume_ = 0xFFFFFFFF;  // kept across opens, like a device's own volume
    uint32_t volumeRead_ = 0;
    bool operationSucceeded_ = false;

    std::unique_ptr<MpegFrameDecoder> decoder_;
    std::vector<int16_t> samples_;
    std::deque<Queued> queue_;  // guarded by the main loop's lock
    uint64_t written_ = 0;
    // Set while the server has run dry; see OnUnderflow.
    bool underflow_ = false;
    uint64_t underflowPlayed_ = 0;
    uint64_t underflowWritten_ = 0;
    uint64_t underflowAt_ = 0;
};

}  // namespace sw
