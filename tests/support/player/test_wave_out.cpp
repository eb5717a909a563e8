#include "player/test_wave_out.h"

namespace sw {

TestWaveOut::TestWaveOut(std::vector<std::string> deviceNames) : names_(std::move(deviceNames)) {}

int TestWaveOut::Enter(Op op, int arg, std::vector<uint8_t> data) {
    events_.push_back(Event{op, arg, std::move(data)});
    auto failure = failures_.find(op);
    if (failure == failures_.end()) {
        return kWaveOk;
    }
    const int code = failure->second;
    failures_.erase(failure);
    return code;
}

int TestWaveOut::Advance(int count) {
    int played = 0;
    while (played < count && open_ && !paused_ && !queue_.empty()) {
        std::unique_ptr<WaveBuffer> buffer = std::move(queue_.front());
        queue_.pop_front();
        Complete(std::move(buffer));
        ++played;
    }
    return played;
}

int TestWaveOut::DeviceName(int device, std::string& name) {
    if (device < 0 || device >= DeviceCount()) {
        name.clear();
        return kWaveBadDeviceId;
    }
    name = names_[device];
    return kWaveOk;
}

int TestWaveOut::CheckFormat(int device, const MpegLayer3WaveFormat& format) const {
    if (device < -1 || device >= static_cast<int>(names_.size()) || names_.empty()) {
        return kWaveBadDeviceId;
    }
    if (rejectFormats_ || format.wFormatTag != kWaveFormatMpegLayer3 || format.nChannels < 1 ||
        format.nChannels > 2 || format.nSamplesPerSec == 0) {
        return kWaveBadFormat;
    }
    return kWaveOk;
}

int TestWaveOut::Query(int device, const MpegLayer3WaveFormat& format) {
    if (const int failure = Enter(Op::Query, device)) {
        return failure;
    }
    return CheckFormat(device, format);
}

int TestWaveOut::Open(int device, const MpegLayer3WaveFormat& format) {
    if (const int failure = Enter(Op::Open, device)) {
        return failure;
    }
    if (open_) {
        return kWaveAllocated;
    }
    if (const int rejected = CheckFormat(device, format)) {
        return rejected;
    }
    open_ = true;
    paused_ = false;
    device_ = device;
    format_ = format;
    return kWaveOk;
}

int TestWaveOut::Close() {
    if (const int failure = Enter(Op::Close)) {
        return failure;
    }
    if (!open_) {
        return kWaveInvalidHandle;
    }
    if (!queue_.empty()) {
        return kWaveStillPlaying;
    }
    open_ = false;
    device_ = -2;
    return kWaveOk;
}

int TestWaveOut::Write(std::unique_ptr<WaveBuffer> buffer) {
    std::vector<uint8_t> bytes(buffer->data.begin(), buffer->data.begin() + buffer->length);
    if (const int failure = Enter(Op::Write, 0, std::move(bytes))) {
        return failure;
    }
    if (!open_) {
        return kWaveInvalidHandle;
    }
    queue_.push_back(std::move(buffer));
    return kWaveOk;
}

int TestWaveOut::Preroll(const uint8_t* frame, size_t length) {
    if (const int failure = Enter(Op::Preroll, 0, std::vector<uint8_t>(frame, frame + length))) {
        return failure;
    }
    return open_ ? kWaveOk : kWaveInvalidHandle;
}

int TestWaveOut::Pause() {
    if (const int failure = Enter(Op::Pause)) {
        return failure;
    }
    if (!open_) {
        return kWaveInvalidHandle;
    }
    paused_ = true;
    return kWaveOk;
}

int TestWaveOut::Restart() {
    if (const int failure = Enter(Op::Restart)) {
        return failure;
    }
    if (!open_) {
        return kWaveInvalidHandle;
    }
    paused_ = false;
    return kWaveOk;
}

int TestWaveOut::Reset() {
    if (const int failure = Enter(Op::Reset)) {
        return failure;
    }
    if (!open_) {
        return kWaveInvalidHandle;
    }
    while (!queue_.empty()) {
        Complete(std::move(queue_.front()));
        queue_.pop_front();
    }
    paused_ = false;
    return kWaveOk;
}

int TestWaveOut::GetVolume(uint32_t& volume) {
    if (const int failure = Enter(Op::GetVolume)) {
        return failure;
    }
    if (!open_) {
        return kWaveInvalidHandle;
    }
    volume = volume_;
    return kWaveOk;
}

int TestWaveOut::SetVolume(uint32_t volume) {
    if (const int failure = Enter(Op::SetVolume, static_cast<int>(volume))) {
        return failure;
    }
    if (!open_) {
        return kWaveInvalidHandle;
    }
    volume_ = volume;
    return kWaveOk;
}

}  // namespace sw
