#include "player/qt/pulse_wave_out.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdlib>

namespace sw {

namespace {

constexpr int kMpegRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
// Layer I frames are the shortest at 384 samples; prebuffering less than that lets every frame
// start playback on its own.
constexpr uint32_t kPrebufSamples = 256;
// How much the server is asked to keep queued ahead of the speaker.
constexpr uint64_t kTargetLatencyMs = 40;
constexpr int32_t kVolumeRounding = 2;

pa_volume_t ToPulseVolume(uint32_t level) {
    return static_cast<pa_volume_t>(uint64_t(level & 0xFFFF) * PA_VOLUME_NORM / 0xFFFF);
}

uint32_t FromPulseVolume(pa_volume_t volume) {
    const uint64_t level = (uint64_t(volume) * 0xFFFF + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM;
    return static_cast<uint32_t>(std::min<uint64_t>(level, 0xFFFF));
}

pa_cvolume ToChannelVolumes(uint32_t volume, int channels) {
    pa_cvolume cv;
    pa_cvolume_init(&cv);
    cv.channels = static_cast<uint8_t>(channels);
    cv.values[0] = ToPulseVolume(volume);
    if (channels > 1) {
        cv.values[1] = ToPulseVolume(volume >> 16);
    }
    return cv;
}

}  // namespace

class PulseWaveOut::Lock {
  public:
    explicit Lock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~Lock() { pa_threaded_mainloop_unlock(loop_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    pa_threaded_mainloop* loop_;
};

PulseWaveOut::PulseWaveOut() = default;

PulseWaveOut::~PulseWaveOut() {
    if (loop_ == nullptr) {
        return;
    }
    {
        Lock lock(loop_);
        queue_.clear();
        DestroyStream();
        if (timer_ != nullptr) {
            pa_threaded_mainloop_get_api(loop_)->time_free(timer_);
            timer_ = nullptr;
        }
        if (context_ != nullptr) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

int PulseWaveOut::Connect() {
    if (loop_ != nullptr) {
        Lock lock(loop_);
        return ContextReady() ? kWaveOk : kWaveNoDriver;
    }
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr) {
        connectError_ = "the sound client could not start";
        return kWaveNoDriver;
    }
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Slicewell");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "slicewell");
    context_ =
        pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Slicewell", properties);
    pa_proplist_free(properties);
    pa_context_set_state_callback(context_, &PulseWaveOut::OnContextState, this);
    if (pa_threaded_mainloop_start(loop_) < 0) {
        connectError_ = "the sound client could not start";
        return kWaveNoDriver;
    }
    Lock lock(loop_);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        connectError_ = pa_strerror(pa_context_errno(context_));
        return kWaveNoDriver;
    }
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY) {
            return kWaveOk;
        }
        if (!PA_CONTEXT_IS_GOOD(state)) {
            connectError_ = pa_strerror(pa_context_errno(context_));
            return kWaveNoDriver;
        }
        pa_threaded_mainloop_wait(loop_);
    }
}

bool PulseWaveOut::Connected() const {
    if (loop_ == nullptr) {
        return false;
    }
    Lock lock(loop_);
    return pa_context_get_state(context_) == PA_CONTEXT_READY;
}

bool PulseWaveOut::ContextReady() {
    return context_ != nullptr && pa_context_get_state(context_) == PA_CONTEXT_READY;
}

int PulseWaveOut::ServerError() {
    if (context_ == nullptr || pa_context_get_state(context_) != PA_CONTEXT_READY) {
        return kWaveNoDriver;
    }
    const int error = pa_context_errno(context_);
    return error == PA_OK ? kWaveError : kWaveBackendErrorBase + error;
}

int PulseWaveOut::WaitFor(pa_operation* operation) {
    if (operation == nullptr) {
        return ServerError();
    }
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) {
        pa_threaded_mainloop_wait(loop_);
    }
    const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
    pa_operation_unref(operation);
    return done ? kWaveOk : ServerError();
}

int PulseWaveOut::RefreshSinks() {
    if (!ContextReady()) {
        return kWaveNoDriver;
    }
    sinksReading_.clear();
    const int result =
        WaitFor(pa_context_get_sink_info_list(context_, &PulseWaveOut::OnSinkInfo, this));
    if (result == kWaveOk) {
        std::sort(sinksReading_.begin(), sinksReading_.end(),
                  [](const Sink& a, const Sink& b) { return a.index < b.index; });
        sinks_ = sinksReading_;
    }
    return result;
}

int PulseWaveOut::DeviceCount() {
    if (loop_ == nullptr) {
        return 0;
    }
    Lock lock(loop_);
    return RefreshSinks() == kWaveOk ? static_cast<int>(sinks_.size()) : 0;
}

int PulseWaveOut::DeviceName(int device, std::string& name) {
    name.clear();
    if (loop_ == nullptr) {
        return kWaveNoDriver;
    }
    Lock lock(loop_);
    if (sinks_.empty()) {
        RefreshSinks();
    }
    if (device < 0 || device >= static_cast<int>(sinks_.size())) {
        return kWaveBadDeviceId;
    }
    name = sinks_[device].description.empty() ? sinks_[device].name : sinks_[device].description;
    return kWaveOk;
}

int PulseWaveOut::Query(int device, const MpegLayer3WaveFormat& format) {
    if (loop_ == nullptr) {
        return kWaveNoDriver;
    }
    Lock lock(loop_);
    if (!ContextReady()) {
        return kWaveNoDriver;
    }
    if (device < -1) {
        return kWaveBadDeviceId;
    }
    if (device >= 0) {
        if (const int result = RefreshSinks()) {
            return result;
        }
        if (device >= static_cast<int>(sinks_.size())) {
            return kWaveBadDeviceId;
        }
    }
    const bool mpegRate = std::find(std::begin(kMpegRates), std::end(kMpegRates),
                                    int(format.nSamplesPerSec)) != std::end(kMpegRates);
    pa_sample_spec spec{PA_SAMPLE_S16NE, format.nSamplesPerSec, uint8_t(format.nChannels)};
    if (format.wFormatTag != kWaveFormatMpegLayer3 || format.nChannels < 1 ||
        format.nChannels > 2 || !mpegRate || !pa_sample_spec_valid(&spec)) {
        return kWaveBadFormat;
    }
    return kWaveOk;
}

int PulseWaveOut::Open(int device, const MpegLayer3WaveFormat& format) {
    if (open_) {
        return kWaveAllocated;
    }
    if (const int result = Query(device, format)) {
        return result;
    }
    auto decoder =
        std::make_unique<MpegFrameDecoder>(int(format.nSamplesPerSec), int(format.nChannels));
    if (!decoder->Ok()) {
        return kWaveNoMemory;
    }
    Lock lock(loop_);
    rate_ = int(format.nSamplesPerSec);
    channels_ = int(format.nChannels);
    sinkName_ = device >= 0 ? sinks_[device].name : "";
    decoder_ = std::move(decoder);
    open_ = true;
    paused_ = false;
    return kWaveOk;
}

int PulseWaveOut::CreateStream() {
    pa_sample_spec spec{PA_SAMPLE_S16NE, uint32_t(rate_), uint8_t(channels_)};
    pa_channel_map map;
    pa_channel_map_init_auto(&map, channels_, PA_CHANNEL_MAP_DEFAULT);
    stream_ = pa_stream_new(context_, "Slicewell playback", &spec, &map);
    if (stream_ == nullptr) {
        return ServerError();
    }
    pa_stream_set_state_callback(stream_, &PulseWaveOut::OnStreamState, this);
    pa_stream_set_underflow_callback(stream_, &PulseWaveOut::OnUnderflow, this);
    pa_stream_set_started_callback(stream_, &PulseWaveOut::OnStarted, this);
    underflow_ = false;
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(pa_usec_to_bytes(kTargetLatencyMs * 1000, &spec));
    attr.prebuf = uint32_t(kPrebufSamples * pa_frame_size(&spec));
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    const auto flags =
        pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                          PA_STREAM_ADJUST_LATENCY | (paused_ ? PA_STREAM_START_CORKED : 0));
    const pa_cvolume volume = ToChannelVolumes(volume_, channels_);
    if (pa_stream_connect_playback(stream_, sinkName_.empty() ? nullptr : sinkName_.c_str(), &attr,
                                   flags, &volume, nullptr) < 0) {
        const int result = ServerError();
        DestroyStream();
        return result;
    }
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(stream_);
        if (state == PA_STREAM_READY) {
            break;
        }
        if (!PA_STREAM_IS_GOOD(state)) {
            const int result = ServerError();
            DestroyStream();
            return result;
        }
        pa_threaded_mainloop_wait(loop_);
    }
    written_ = 0;
    return kWaveOk;
}

void PulseWaveOut::DestroyStream() {
    if (stream_ == nullptr) {
        return;
    }
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
    pa_stream_set_started_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
}

int PulseWaveOut::Close() {
    if (!open_) {
        return kWaveInvalidHandle;
    }
    Lock lock(loop_);
    if (!queue_.empty()) {
        return kWaveStillPlaying;
    }
    DestroyStream();
    StopCheck();
    decoder_.reset();
    open_ = false;
    paused_ = false;
    return kWaveOk;
}

int PulseWaveOut::Write(std::unique_ptr<WaveBuffer> buffer) {
    if (!open_) {
        return kWaveInvalidHandle;
    }
    samples_.clear();
    const int count = decoder_->Decode(buffer->data.data(), buffer->length, samples_);
    Lock lock(loop_);
    if (stream_ == nullptr) {
        if (const int result = CreateStream()) {
            return result;
        }
    }
    if (pa_stream_get_state(stream_) != PA_STREAM_READY) {
        return ServerError();
    }
    if (count > 0) {
        if (pa_stream_write(stream_, samples_.data(), samples_.size() * sizeof(int16_t), nullptr, 0,
                            PA_SEEK_RELATIVE) < 0) {
            return ServerError();
        }
        written_ += uint64_t(count);
    }
    queue_.push_back(Queued{std::move(buffer), written_});
    // An armed check is due no later than the oldest buffer's end, which is earlier than this
    // one's.
    if (!paused_ && !timerArmed_) {
        ArmCheck(0);
    }
    return kWaveOk;
}

int PulseWaveOut::Preroll(const uint8_t* frame, size_t length) {
    if (!open_) {
        return kWaveInvalidHandle;
    }
    samples_.clear();
    decoder_->Decode(frame, length, samples_);
    return kWaveOk;
}

int PulseWaveOut::Cork(bool cork) {
    operationSucceeded_ = false;
    if (const int result =
            WaitFor(pa_stream_cork(stream_, cork ? 1 : 0, &PulseWaveOut::OnSuccess, this))) {
        return result;
    }
    return operationSucceeded_ ? kWaveOk : ServerError();
}

int PulseWaveOut::Pause() {
    if (!open_) {
        return kWaveInvalidHandle;
    }
    Lock lock(loop_);
    if (stream_ != nullptr) {
        if (const int result = Cork(true)) {
            return result;
        }
    }
    paused_ = true;
    StopCheck();
    return kWaveOk;
}

int PulseWaveOut::Restart() {
    if (!open_) {
        return kWaveInvalidHandle;
    }
    Lock lock(loop_);
    if (stream_ != nullptr) {
        if (const int result = Cork(false)) {
            return result;
        }
    }
    paused_ = false;
    ArmCheck(0);
    return kWaveOk;
}

int PulseWaveOut::Reset() {
    if (!open_) {
        return kWaveInvalidHandle;
    }
    Lock lock(loop_);
    while (!queue_.empty()) {
        Complete(std::move(queue_.front().buffer));
        queue_.pop_front();
    }
    StopCheck();
    DestroyStream();
    decoder_->Restart();
    paused_ = false;
    return kWaveOk;
}

int PulseWaveOut::GetVolume(uint32_t& volume) {
    volume = 0;
    if (!open_) {
        return kWaveInvalidHandle;
    }
    Lock lock(loop_);
    if (stream_ == nullptr) {
        volume = volume_;  // what the next stream will start with
        return kWaveOk;
    }
    operationSucceeded_ = false;
    if (const int result = WaitFor(pa_context_get_sink_input_info(
            context_, pa_stream_get_index(stream_), &PulseWaveOut::OnSinkInputInfo, this))) {
        return result;
    }
    if (!operationSucceeded_) {
        return ServerError();
    }
    // The server keeps volumes in its own steps and may hand back a neighbour of what was set;
    // within that rounding the level is still the one set, and reads back as such.
    auto channel = [](uint32_t read, uint32_t set) {
        const int32_t difference = int32_t(read & 0xFFFF) - int32_t(set & 0xFFFF);
        return std::abs(difference) <= kVolumeRounding ? set & 0xFFFF : read & 0xFFFF;
    };
    const uint32_t left = channel(volumeRead_, volume_);
    const uint32_t right = channels_ == 1 ? left : channel(volumeRead_ >> 16, volume_ >> 16);
    volume = left | right << 16;
    return kWaveOk;
}

int PulseWaveOut::SetVolume(uint32_t volume) {
    if (!open_) {
        return kWaveInvalidHandle;
    }
    Lock lock(loop_);
    if (stream_ == nullptr) {
        volume_ = volume;
        return kWaveOk;
    }
    const pa_cvolume cv = ToChannelVolumes(volume, channels_);
    operationSucceeded_ = false;
    if (const int result = WaitFor(pa_context_set_sink_input_volume(
            context_, pa_stream_get_index(stream_), &cv, &PulseWaveOut::OnContextSuccess, this))) {
        return result;
    }
    if (!operationSucceeded_) {
        return ServerError();
    }
    volume_ = volume;
    return kWaveOk;
}

std::string PulseWaveOut::ErrorText(int code) {
    if (code > kWaveBackendErrorBase) {
        return pa_strerror(code - kWaveBackendErrorBase);
    }
    if (code == kWaveNoDriver) {
        return connectError_.empty()
                   ? "No audio output is available: the sound server cannot be reached"
                   : "No audio output is available: " + connectError_;
    }
    return WaveOut::ErrorText(code);
}

void PulseWaveOut::ArmCheck(uint64_t delayUsec) {
    const pa_usec_t when = pa_rtclock_now() + delayUsec;
    if (timer_ == nullptr) {
        timer_ = pa_context_rttime_new(context_, when, &PulseWaveOut::OnTimer, this);
    } else {
        pa_context_rttime_restart(context_, timer_, when);
    }
    timerArmed_ = true;
}

void PulseWaveOut::StopCheck() {
    if (timer_ != nullptr && timerArmed_) {
        pa_context_rttime_restart(context_, timer_, PA_USEC_INVALID);
    }
    timerArmed_ = false;
}

void PulseWaveOut::CheckPlayed() {
    timerArmed_ = false;
    if (stream_ == nullptr || queue_.empty() || paused_) {
        return;
    }
    pa_usec_t time = 0;
    if (pa_stream_get_time(stream_, &time) < 0) {
        ArmCheck(5000);  // no timing information yet
        return;
    }
    uint64_t played = time * uint64_t(rate_) / 1000000;
    if (underflow_) {
        const uint64_t since = (pa_rtclock_now() - underflowAt_) * uint64_t(rate_) / 1000000;
        played = std::max(played, std::min(underflowPlayed_ + since, underflowWritten_));
    }
    while (!queue_.empty() && queue_.front().end <= played) {
        Complete(std::move(queue_.front().buffer));
        queue_.pop_front();
    }
    if (queue_.empty()) {
        return;
    }
    // Wake when the next buffer should be over; the interpolated clock can lag a little, so the
    // check repeats until it is, but never sleeps longer than a timing update's spacing.
    const uint64_t remaining = queue_.front().end - played;
    const uint64_t due = remaining * 1000000 / uint64_t(rate_) + 500;
    ArmCheck(std::clamp<uint64_t>(due, 1000, 100000));
}

void PulseWaveOut::OnContextState(pa_context*, void* self) {
    pa_threaded_mainloop_signal(static_cast<PulseWaveOut*>(self)->loop_, 0);
}

void PulseWaveOut::OnStreamState(pa_stream*, void* self) {
    pa_threaded_mainloop_signal(static_cast<PulseWaveOut*>(self)->loop_, 0);
}

void PulseWaveOut::OnSuccess(pa_stream*, int success, void* self) {
    auto* out = static_cast<PulseWaveOut*>(self);
    out->operationSucceeded_ = success != 0;
    pa_threaded_mainloop_signal(out->loop_, 0);
}

void PulseWaveOut::OnContextSuccess(pa_context*, int success, void* self) {
    auto* out = static_cast<PulseWaveOut*>(self);
    out->operationSucceeded_ = success != 0;
    pa_threaded_mainloop_signal(out->loop_, 0);
}

void PulseWaveOut::OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
    auto* out = static_cast<PulseWaveOut*>(self);
    if (eol == 0 && info != nullptr) {
        out->sinksReading_.push_back(Sink{info->index, info->name ? info->name : "",
                                          info->description ? info->description : ""});
    }
    pa_threaded_mainloop_signal(out->loop_, 0);
}

void PulseWaveOut::OnSinkInputInfo(pa_context*, const pa_sink_input_info* info, int eol,
                                   void* self) {
    auto* out = static_cast<PulseWaveOut*>(self);
    if (eol == 0 && info != nullptr) {
        const uint32_t left = FromPulseVolume(info->volume.values[0]);
        const uint32_t right =
            info->volume.channels > 1 ? FromPulseVolume(info->volume.values[1]) : left;
        out->volumeRead_ = left | right << 16;
        out->operationSucceeded_ = true;
    }
    pa_threaded_mainloop_signal(out->loop_, 0);
}

// The server ran out of data: everything written has gone to the sink, but from here the
// stream clock stands still, short of the end by what the sink still holds. That remainder plays
// out in real time, so the clock is carried on by the wall clock up to the end of what had been
// written. (A drain would say the same, but the server acknowledges it only much later.)
void PulseWaveOut::OnUnderflow(pa_stream* stream, void* self) {
    auto* out = static_cast<PulseWaveOut*>(self);
    pa_usec_t time = 0;
    if (pa_stream_get_time(stream, &time) < 0) {
        return;
    }
    out->underflow_ = true;
    out->underflowPlayed_ = time * uint64_t(out->rate_) / 1000000;
    out->underflowWritten_ = out->written_;
    out->underflowAt_ = pa_rtclock_now();
    if (!out->paused_) {
        out->ArmCheck(0);
    }
}

void PulseWaveOut::OnStarted(pa_stream*, void* self) {
    static_cast<PulseWaveOut*>(self)->underflow_ = false;
}

void PulseWaveOut::OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
    static_cast<PulseWaveOut*>(self)->CheckPlayed();
}

}  // namespace sw
