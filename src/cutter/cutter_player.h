#pragma once

#include <cstdint>
#include <string>

#include "stream/cut_object.h"

namespace sw {

// What the cutter asks of its player (TCutPlayerThread, which lives in the toolkit's event loop):
// the cutter's rules see the player through this alone, so they run and are tested without a
// toolkit. The calls mean what TCutPlayerThread's of the same names mean; modes and states are
// those of player/player_mode.h, codes the wave output's.
class CutterPlayer {
  public:
    virtual ~CutterPlayer() = default;

    virtual int Open(TCutObject* cut) = 0;
    virtual int Close() = 0;
    virtual bool Play() = 0;
    virtual bool PlayMark() = 0;
    virtual bool Cue() = 0;
    virtual bool Pause() = 0;
    virtual bool Stop() = 0;
    // Drops the queued frames and goes on from the audible one.
    virtual int Flush() = 0;

    virtual bool Active() const = 0;
    virtual void SetActive(bool active) = 0;
    virtual int32_t PlayerMode() const = 0;
    virtual void SetPlayerMode(int32_t mode) = 0;
    virtual int32_t PlayerState() const = 0;
    virtual uint32_t Position() const = 0;
    virtual void SetPosition(int64_t frame) = 0;

    virtual void SetQueueDepths(int32_t numBuffers, int32_t cueBuffers) = 0;
    virtual void SetVolume(uint32_t volume) = 0;
    virtual void SetMuteMode(bool mute) = 0;
    virtual void SetLoopMode(bool loop) = 0;
    virtual void SetWaveDevice(int32_t device) = 0;
    // The output's text for an error code, "" when it has none.
    virtual std::string ErrorText(int code) = 0;
};

}  // namespace sw
