#pragma once

#include "cutter/cutter_player.h"
#include "player/qt/cut_player_thread.h"

namespace sw {

// The cutter's player as its rules see it: every call goes straight to TCutPlayerThread.
class CutPlayerAdapter : public CutterPlayer {
  public:
    explicit CutPlayerAdapter(TCutPlayerThread& player) : player_(player) {}

    int Open(TCutObject* cut) override { return player_.Open(cut); }
    int Close() override { return player_.Close(); }
    bool Play() override { return player_.Play(); }
    bool PlayMark() override { return player_.PlayMark(); }
    bool Cue() override { return player_.Cue(); }
    bool Pause() override { return player_.Pause(); }
    bool Stop() override { return player_.Stop(); }
    int Flush() override { return player_.Flush(); }

    bool Active() const override { return player_.Active(); }
    void SetActive(bool active) override { player_.SetActive(active); }
    int32_t PlayerMode() const override { return player_.PlayerMode(); }
    void SetPlayerMode(int32_t mode) override { player_.SetPlayerMode(mode); }
    int32_t PlayerState() const override { return player_.PlayerState(); }
    uint32_t Position() const override { return player_.Position(); }
    void SetPosition(int64_t frame) override { player_.SetPosition(frame); }

    void SetQueueDepths(int32_t numBuffers, int32_t cueBuffers) override {
        player_.SetQueueDepths(numBuffers, cueBuffers);
    }
    void SetVolume(uint32_t volume) override { player_.SetVolume(volume); }
    void SetMuteMode(bool mute) override { player_.SetMuteMode(mute); }
    void SetLoopMode(bool loop) override { player_.SetLoopMode(loop); }
    void SetWaveDevice(int32_t device) override { player_.SetWaveDevice(device); }
    std::string ErrorText(int code) override { return player_.Output().ErrorText(code); }

  private:
    TCutPlayerThread& player_;
};

}  // namespace sw
