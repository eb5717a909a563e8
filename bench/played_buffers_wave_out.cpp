#include "played_buffers_wave_out.h"

namespace sw::bench {

namespace {

// Marks the span of a call to the service, inside which nothing may reach the player.
class Inside {
  public:
    explicit Inside(int& depth) : depth_(depth) { ++depth_; }
    ~Inside() { --depth_; }
    Inside(const Inside&) = delete;
    Inside& operator=(const Inside&) = delete;

  private:
    int& depth_;
};

}  // namespace

PlayedBuffersWaveOut::PlayedBuffersWaveOut(std::unique_ptr<WaveOut> inner)
    : inner_(std::move(inner)) {
    inner_->SetListener(this);
}

PlayedBuffersWaveOut::~PlayedBuffersWaveOut() {
    inner_->SetListener(nullptr);
}

int PlayedBuffersWaveOut::Open(int device, const MpegLayer3WaveFormat& format) {
    Inside inside(insideCall_);
    return inner_->Open(device, format);
}

int PlayedBuffersWaveOut::Close() {
    Inside inside(insideCall_);
    return inner_->Close();
}

int PlayedBuffersWaveOut::Write(std::unique_ptr<WaveBuffer> buffer) {
    Inside inside(insideCall_);
    const int result = inner_->Write(std::move(buffer));
    if (result == kWaveOk) {
        ++outstanding_;
    }
    // The player dispatches its returns after each write; those of the inner service must be
    // here by then, as they would be without this layer in between.
    inner_->DispatchPending();
    return result;
}

int PlayedBuffersWaveOut::Preroll(const uint8_t* frame, size_t length) {
    Inside inside(insideCall_);
    return inner_->Preroll(frame, length);
}

int PlayedBuffersWaveOut::Pause() {
    Inside inside(insideCall_);
    return inner_->Pause();
}

int PlayedBuffersWaveOut::Restart() {
    Inside inside(insideCall_);
    return inner_->Restart();
}

int PlayedBuffersWaveOut::Reset() {
    Inside inside(insideCall_);
    // Whatever was played came back before this call; everything still out comes back unplayed.
    dropped_ += outstanding_;
    outstanding_ = 0;
    const int result = inner_->Reset();
    inner_->DispatchPending();
    return result;
}

int PlayedBuffersWaveOut::GetVolume(uint32_t& volume) {
    Inside inside(insideCall_);
    return inner_->GetVolume(volume);
}

int PlayedBuffersWaveOut::SetVolume(uint32_t volume) {
    Inside inside(insideCall_);
    return inner_->SetVolume(volume);
}

void PlayedBuffersWaveOut::WaveOutDone(std::unique_ptr<WaveBuffer> buffer) {
    if (dropped_ > 0) {
        --dropped_;
    } else if (outstanding_ > 0) {
        --outstanding_;
        ++played_;
        lastPlayedAt_ = Clock::now();
    }
    Complete(std::move(buffer));
    if (insideCall_ == 0) {
        DispatchPending();
    }
}

}  // namespace sw::bench
