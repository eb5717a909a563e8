#include "player/qt/cut_player_thread.h"

#include <QCoreApplication>
#include <algorithm>

#include "player/preroll.h"
#include "player/qt/wave_out_factory.h"

namespace sw {

namespace {

constexpr int kDefaultNumBuffers = 16;
constexpr int kDefaultCueBuffers = 6;
constexpr int kMaxBuffers = 256;
// Close gives the returned buffers this many dispatches to come back.
constexpr int kCloseDispatchLimit = 1024;

// A settings record that was never loaded holds zeros; a depth of 0 would never queue a frame,
// so unset values fall back to the defaults.
int QueueDepth(int32_t setting, int fallback) {
    return setting < 1 ? fallback : std::min<int32_t>(setting, kMaxBuffers);
}

}  // namespace

TCutPlayerThread::TCutPlayerThread(std::unique_ptr<WaveOut> waveOut, QObject* parent)
    : QObject(parent),
      waveOut_(waveOut ? std::move(waveOut) : CreateWaveOut()),
      numBuffers_(kDefaultNumBuffers),
      cueBuffers_(kDefaultCueBuffers) {
    waveOut_->SetListener(this);
}

TCutPlayerThread::~TCutPlayerThread() {
    // The client may be half destroyed already; it must not hear about this close.
    blockSignals(true);
    Close();
    waveOut_->SetListener(nullptr);
}

void TCutPlayerThread::SetQueueDepths(int32_t numBuffers, int32_t cueBuffers) {
    numBuffers_ = QueueDepth(numBuffers, kDefaultNumBuffers);
    cueBuffers_ = QueueDepth(cueBuffers, kDefaultCueBuffers);
}

int32_t TCutPlayerThread::LastFrame() const {
    return cut_ != nullptr ? cut_->FrameCount() - 1 : -1;
}

int32_t TCutPlayerThread::AudibleFrame() const {
    return std::max(0, next_ - queued_);
}

int TCutPlayerThread::Open(TCutObject* cut) {
    if (deviceOpen_) {
        Close();
    }
    cut_ = cut;
    int result = kWaveOk;
    if (cut == nullptr) {
        result = kWaveInvalidParam;
    } else {
        try {
            const MpegLayer3WaveFormat format = BuildWaveFormat(cut->FrameInfo);
            const int query = waveOut_->Query(waveDevice_, format);
            if (query == kWaveBadFormat || query == kWaveNotSupported) {
                result = kWaveNotSupported;
            } else if (query != kWaveOk) {
                // A missing server or device is reported as itself, not as a format problem.
                result = query;
            } else {
                result = waveOut_->Open(waveDevice_, format);
                deviceOpen_ = result == kWaveOk;
                ApplyMute(muteMode_);
                if (deviceOpen_) {
                    result = waveOut_->Pause();
                }
            }
        } catch (...) {
            result = kWaveError;
        }
    }
    if (result != kWaveOk) {
        Close();
        return result;
    }
    queued_ = 0;
    next_ = 0;
    cuePosition_ = 0;
    lastHanded_ = kNoFrameHanded;
    mode_ = kModePausing;
    state_ = kStateOpen;
    emit OnPlayerStateChange(state_);
    FillQueue();
    return kWaveOk;
}

int TCutPlayerThread::Close() {
    active_ = false;
    if (deviceOpen_) {
        waveOut_->Pause();
        waveOut_->Reset();
        for (int i = 0; i < kCloseDispatchLimit && queued_ > 0; ++i) {
            waveOut_->DispatchPending(1);
        }
        if (const int result = waveOut_->Close()) {
            return result;
        }
        deviceOpen_ = false;
    }
    active_ = true;
    // Playback was this file's work: its descriptor goes until it is played again.
    ReleaseCutObjectFiles(cut_);
    cut_ = nullptr;
    mode_ = kModeNone;
    state_ = kStateClosed;
    emit OnPlayerStateChange(state_);
    cuePosition_ = 0;
    next_ = 0;
    lastError_ = 0;
    lastHanded_ = kNoFrameHanded;
    return kWaveOk;
}

bool TCutPlayerThread::RequestMode(int32_t mode) {
    SetPlayerMode(mode);
    return mode_ == mode;
}

void TCutPlayerThread::ResetDevice() {
    lastError_ = waveOut_->Reset();
    lastHanded_ = kNoFrameHanded;
}

void TCutPlayerThread::SetPlayerMode(int32_t mode) {
    if (cut_ == nullptr) {
        return;
    }
    // Clients ask for 1..5 and the end check for 6; anything else would leave an open file in
    // a mode without a name.
    if (mode < kModePlayAll || mode > kModeEnded) {
        return;
    }
    if (mode == kModePlayMark &&
        !(cut_->MarkIn >= 0 && cut_->MarkOut <= LastFrame() && cut_->MarkIn <= cut_->MarkOut)) {
        return;
    }
    const int32_t current = mode_;
    const int32_t audible = AudibleFrame();
    auto restart = [this] { lastError_ = waveOut_->Restart(); };
    auto pause = [this] {
        if (lastError_ == kWaveOk) {
            lastError_ = waveOut_->Pause();
        }
    };
    switch (mode) {
        case kModePlayAll:
            if (current == kModePlayAll || current == kModeStopped) {
                next_ = 0;
                ResetDevice();
            } else if (current == kModeCueing) {
                next_ = cuePosition_;
                ResetDevice();
            } else if (current == kModePausing) {
                restart();
            } else if (current == kModeEnded) {
                next_ = 0;
            }
            break;
        case kModePlayMark:
            if (current == kModePlayAll || current == kModePlayMark || current == kModeStopped ||
                current == kModeEnded) {
                next_ = cut_->MarkIn;
                ResetDevice();
            } else if (current == kModeCueing) {
                next_ = cuePosition_;
                ResetDevice();
            } else if (current == kModePausing) {
                // Resuming outside the range would end at once without a sound; the user asked
                // for the range, so it starts at its beginning.
                if (next_ >= cut_->MarkIn && next_ < cut_->MarkOut) {
                    restart();
                } else {
                    next_ = cut_->MarkIn;
                    ResetDevice();
                }
            }
            break;
        case kModeCueing:
            if (current == kModePlayAll || current == kModePlayMark) {
                cuePosition_ = audible;
                ResetDevice();
            } else if (current == kModePausing) {
                next_ = cuePosition_;
                ResetDevice();
            } else if (current == kModeStopped || current == kModeEnded) {
                cuePosition_ = next_;
                // A stopped device is paused: the snippet would sit in its queue unheard.
                if (current == kModeStopped) {
                    restart();
                }
            }
            break;
        case kModePausing:
            if (current == kModePlayAll || current == kModePlayMark || current == kModeStopped ||
                current == kModeEnded) {
                next_ = audible;
                cuePosition_ = audible;
                ResetDevice();
                pause();
            } else if (current == kModeCueing) {
                next_ = cuePosition_;
                ResetDevice();
                pause();
            }
            break;
        case kModeStopped:
            next_ = 0;
            ResetDevice();
            pause();
            break;
        default:
            break;
    }
    if (lastError_ != kWaveOk) {
        emit OnError(lastError_);
        return;
    }
    mode_ = mode;
    FillQueue();
    emit OnPlayerModeChange(mode_);
}

void TCutPlayerThread::SetActive(bool active) {
    active_ = active;
    if (active) {
        FillQueue();
    }
}

void TCutPlayerThread::FillQueue() {
    if (state_ != kStateOpen || QCoreApplication::closingDown() || !active_) {
        return;
    }
    try {
        int result = kWaveOk;
        if (lastError_ == kWaveOk) {
            for (;;) {
                if (!EndCheck()) {
                    break;
                }
                int depth = 0;
                if (mode_ == kModePlayAll || mode_ == kModePlayMark) {
                    depth = numBuffers_;
                } else if (mode_ == kModeCueing) {
                    depth = cueBuffers_;
                }
                if (queued_ >= depth) {
                    break;
                }
                result = QueueFrame();
                if (result != kWaveOk) {
                    break;
                }
            }
        }
        if (result != kWaveOk && result != lastError_) {
            lastError_ = result;
            emit OnError(lastError_);
        }
    } catch (...) {
        lastError_ = kWaveError;
        emit OnError(lastError_);
    }
}

bool TCutPlayerThread::EndCheck() {
    if (cut_ == nullptr || !deviceOpen_ || !active_) {
        return false;
    }
    try {
        const int32_t last = LastFrame();
        // An empty index has no frame to clamp to; queuing "frame -1" would read garbage.
        if (last < 0) {
            return false;
        }
        next_ = std::clamp(next_, 0, last);
        if (mode_ == kModePlayAll) {
            if (next_ == last) {
                next_ = 0;
                if (!loopMode_) {
                    SetPlayerMode(kModeEnded);
                }
            }
        } else if (mode_ == kModePlayMark) {
            if (next_ >= cut_->MarkOut || next_ < cut_->MarkIn) {
                if (loopMode_) {
                    next_ = cut_->MarkIn;
                } else {
                    SetPlayerMode(kModeEnded);
                }
            }
        } else if (mode_ == kModeCueing) {
            cuePosition_ = std::max(cuePosition_, 0);
            if (int64_t(next_) >= int64_t(cuePosition_) + cueBuffers_) {
                next_ = cuePosition_;
            }
        }
        return true;
    } catch (...) {
        Close();
        return false;
    }
}

void TCutPlayerThread::PrerollBefore(int32_t frame) {
    // Best effort: a frame that cannot be read here is reported when it is queued itself.
    try {
        const int32_t first = PrerollStart(*cut_, frame);
        std::vector<uint8_t> bytes;
        for (int32_t f = first; f < frame; ++f) {
            const TFrameInfo info = FrameHeader(cut_, f);
            if (info.FrameLength <= 0) {
                continue;
            }
            bytes.resize(size_t(info.FrameLength));
            cut_->FileStream->Seek(FrameOffset(cut_, f), SeekOrigin::Begin);
            const int64_t read = cut_->FileStream->Read(bytes.data(), info.FrameLength);
            if (read > 0) {
                waveOut_->Preroll(bytes.data(), size_t(read));
            }
        }
    } catch (...) {
    }
}

int TCutPlayerThread::QueueFrame() {
    if (cut_ == nullptr || !deviceOpen_) {
        return kWaveInvalidHandle;
    }
    int result = kWaveOk;
    try {
        const TFrameInfo info = FrameHeader(cut_, next_);
        auto buffer = std::make_unique<WaveBuffer>();
        const int32_t length = info.FrameLength;  // a packed field: no reference to it
        buffer->data.resize(size_t(std::max(length, 0)));
        int64_t read = 0;
        if (cut_->FileStream && !buffer->data.empty()) {
            cut_->FileStream->Seek(FrameOffset(cut_, next_), SeekOrigin::Begin);
            read = cut_->FileStream->Read(buffer->data.data(), int64_t(buffer->data.size()));
        }
        buffer->length = uint32_t(std::max<int64_t>(read, 0));
        buffer->flags = 0;
        if (read <= 0) {
            result = kWaveUnprepared;
        } else {
            if (next_ != lastHanded_ + 1 || lastHanded_ == kNoFrameHanded) {
                PrerollBefore(next_);
            }
            const int32_t frame = next_;
            result = waveOut_->Write(std::move(buffer));
            if (result == kWaveOk) {
                lastHanded_ = frame;
                ++queued_;
                ++next_;
                emit OnProgress(Position());
            }
        }
    } catch (...) {
        result = kWaveError;
    }
    waveOut_->DispatchPending();
    return result;
}

void TCutPlayerThread::WaveOutDone(std::unique_ptr<WaveBuffer> buffer) {
    if (buffer && (buffer->flags & kBufferDone) != 0) {
        buffer.reset();
        if (queued_ > 0) {
            --queued_;
        }
    }
    if (active_) {
        FillQueue();
    }
}

uint32_t TCutPlayerThread::Position() const {
    if (mode_ == kModeCueing || mode_ == kModePausing) {
        return uint32_t(std::max(cuePosition_, 0));
    }
    return uint32_t(AudibleFrame());
}

void TCutPlayerThread::SetPosition(int64_t frame) {
    if (cut_ == nullptr) {
        return;
    }
    const int32_t value = int32_t(std::clamp<int64_t>(frame, 0, std::max(LastFrame(), 0)));
    if (mode_ == kModeCueing || mode_ == kModePausing) {
        cuePosition_ = value;
    }
    next_ = value;
    if (deviceOpen_) {
        ResetDevice();
        if (mode_ == kModePausing || mode_ == kModeStopped) {
            if (lastError_ == kWaveOk) {
                lastError_ = waveOut_->Pause();
            }
            emit OnProgress(Position());
        }
    }
    if (lastError_ != kWaveOk) {
        emit OnError(lastError_);
    }
}

int TCutPlayerThread::Flush() {
    if (cut_ == nullptr || !deviceOpen_) {
        return kWaveInvalidHandle;
    }
    next_ = AudibleFrame();
    int result = waveOut_->Reset();
    lastHanded_ = kNoFrameHanded;
    if (mode_ == kModePausing) {
        result = waveOut_->Pause();
    }
    return result;
}

void TCutPlayerThread::SetMuteMode(bool mute) {
    const bool wasMuted = muteMode_;
    muteMode_ = mute;
    if (!deviceOpen_) {
        return;
    }
    if (mute && !wasMuted) {
        // Only the step into muting saves the volume: muting twice would otherwise save the
        // silence and lose the level to come back to.
        uint32_t volume = 0;
        lastError_ = waveOut_->GetVolume(volume);
        if (lastError_ == kWaveOk) {
            storedVolume_ = volume;
        }
    }
    ApplyMute(mute);
}

// Sets the open device to what the mute state asks for: silence, or the stored volume.
void TCutPlayerThread::ApplyMute(bool mute) {
    if (!deviceOpen_) {
        return;
    }
    if (!mute || lastError_ == kWaveOk) {
        lastError_ = waveOut_->SetVolume(mute ? 0 : storedVolume_);
    }
    if (lastError_ != kWaveOk) {
        emit OnError(lastError_);
    }
}

uint32_t TCutPlayerThread::Volume() {
    // While muted the device holds 0; the level the user set is the stored one.
    if (!deviceOpen_ || muteMode_) {
        return storedVolume_;
    }
    uint32_t volume = 0;
    lastError_ = waveOut_->GetVolume(volume);
    if (lastError_ != kWaveOk) {
        emit OnError(lastError_);
        return storedVolume_;
    }
    return volume;
}

void TCutPlayerThread::SetVolume(uint32_t volume) {
    // Kept in every case, so the next file (or device) opens at the level last chosen; while
    // muted the device stays silent until unmuting applies it.
    storedVolume_ = volume;
    if (!deviceOpen_ || muteMode_) {
        return;
    }
    lastError_ = waveOut_->SetVolume(volume);
    if (lastError_ != kWaveOk) {
        emit OnError(lastError_);
    }
}

void TCutPlayerThread::SetWaveDevice(int32_t device) {
    if (device == waveDevice_) {
        return;
    }
    if (cut_ == nullptr && !deviceOpen_ && state_ == kStateClosed) {
        waveDevice_ = device;
        return;
    }
    const int32_t mode = mode_;
    // While playing, the frames still queued have not been heard: go on from the audible one.
    const int32_t next = mode == kModePlayAll || mode == kModePlayMark || mode == kModeCueing
                             ? AudibleFrame()
                             : next_;
    const int32_t cue = cuePosition_;
    TCutObject* cut = cut_;
    waveDevice_ = device;
    if (Close() != kWaveOk) {
        return;
    }
    if (Open(cut) != kWaveOk) {
        Close();
        return;
    }
    cuePosition_ = cue;
    next_ = next;
    SetPlayerMode(mode);
}

}  // namespace sw
