#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "player/qt/cut_player_thread.h"
#include "player/test_wave_out.h"
#include "player_fixture.h"

namespace sw::test {

// A player on the deterministic device over a file of numbered frames, with every event the
// player fires recorded as text ("state 1", "mode 2", "progress 5", "error 7").
class PlayerHarness {
  public:
    explicit PlayerHarness(int frames = 100, const HeaderSpec& spec = {});
    ~PlayerHarness();

    TCutObject* Cut() { return cut_.get(); }
    TCutPlayerThread& Player() { return *player_; }
    TestWaveOut& Device() { return *device_; }
    std::vector<std::string>& Log() { return log_; }

    // Plays count buffers and lets the event loop deliver them.
    void Play(int count);
    // Frame numbers of the buffers written, and of the frames pre-rolled, since the last Clear.
    std::vector<int32_t> Written() const;
    std::vector<int32_t> Prerolled() const;
    // The control calls (open, close, pause, restart, reset) since the last Clear.
    std::vector<std::string> Controls() const;
    // Pre-roll and write calls in order: "p7", "w10".
    std::vector<std::string> Feed() const;
    void Clear();

  private:
    TempDir dir_;
    CutObjectPtr cut_;
    TestWaveOut* device_ = nullptr;
    std::unique_ptr<TCutPlayerThread> player_;
    std::vector<std::string> log_;
};

std::vector<int32_t> Range(int32_t first, int32_t last);

}  // namespace sw::test
