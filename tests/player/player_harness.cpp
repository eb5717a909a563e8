#include "player_harness.h"

namespace sw::test {

PlayerHarness::PlayerHarness(int frames, const HeaderSpec& spec) {
    const std::string file = dir_.File("numbered.mp3");
    WriteNumberedFrames(file, frames, spec);
    cut_ = IndexedCutObject(file);
    auto device = std::make_unique<TestWaveOut>(std::vector<std::string>{"First", "Second"});
    device_ = device.get();
    player_ = std::make_unique<TCutPlayerThread>(std::move(device));
    QObject::connect(player_.get(), &TCutPlayerThread::OnPlayerStateChange,
                     [this](int state) { log_.push_back("state " + std::to_string(state)); });
    QObject::connect(player_.get(), &TCutPlayerThread::OnPlayerModeChange,
                     [this](int mode) { log_.push_back("mode " + std::to_string(mode)); });
    QObject::connect(player_.get(), &TCutPlayerThread::OnProgress, [this](uint32_t position) {
        log_.push_back("progress " + std::to_string(position));
    });
    QObject::connect(player_.get(), &TCutPlayerThread::OnError,
                     [this](int code) { log_.push_back("error " + std::to_string(code)); });
}

PlayerHarness::~PlayerHarness() {
    player_.reset();
    ProcessEvents();
}

void PlayerHarness::Play(int count) {
    device_->Advance(count);
    ProcessEvents();
}

std::vector<int32_t> PlayerHarness::Written() const {
    std::vector<int32_t> frames;
    for (const TestWaveOut::Event& e : device_->Events()) {
        if (e.op == TestWaveOut::Op::Write) {
            frames.push_back(FrameNumberOf(e.data));
        }
    }
    return frames;
}

std::vector<int32_t> PlayerHarness::Prerolled() const {
    std::vector<int32_t> frames;
    for (const TestWaveOut::Event& e : device_->Events()) {
        if (e.op == TestWaveOut::Op::Preroll) {
            frames.push_back(FrameNumberOf(e.data));
        }
    }
    return frames;
}

std::vector<std::string> PlayerHarness::Controls() const {
    std::vector<std::string> calls;
    for (const TestWaveOut::Event& e : device_->Events()) {
        switch (e.op) {
            case TestWaveOut::Op::Open:
                calls.push_back("open " + std::to_string(e.arg));
                break;
            case TestWaveOut::Op::Close:
                calls.push_back("close");
                break;
            case TestWaveOut::Op::Pause:
                calls.push_back("pause");
                break;
            case TestWaveOut::Op::Restart:
                calls.push_back("restart");
                break;
            case TestWaveOut::Op::Reset:
                calls.push_back("reset");
                break;
            default:
                break;
        }
    }
    return calls;
}

std::vector<std::string> PlayerHarness::Feed() const {
    std::vector<std::string> feed;
    for (const TestWaveOut::Event& e : device_->Events()) {
        if (e.op == TestWaveOut::Op::Write) {
            feed.push_back("w" + std::to_string(FrameNumberOf(e.data)));
        } else if (e.op == TestWaveOut::Op::Preroll) {
            feed.push_back("p" + std::to_string(FrameNumberOf(e.data)));
        }
    }
    return feed;
}

void PlayerHarness::Clear() {
    device_->ClearEvents();
    log_.clear();
}

std::vector<int32_t> Range(int32_t first, int32_t last) {
    std::vector<int32_t> frames;
    for (int32_t f = first; f <= last; ++f) {
        frames.push_back(f);
    }
    return frames;
}

}  // namespace sw::test
