#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "cutter/envelope_source.h"
#include "cutter/level_envelope.h"

namespace sw {

// Fills one envelope at a time on a thread of its own: first the estimate of every frame, then
// the decoded levels from the first frame on. Progress and the outcome are the envelope's own
// published values (LevelEnvelope), which the window reads at its display rate; nothing is
// called back.
//
// Start and Cancel are called from one thread (the window's). Starting another envelope stops
// the running one first; an envelope stopped half way keeps what it has, and starting it again
// goes on from there.
class EnvelopeWorker {
  public:
    EnvelopeWorker() = default;
    ~EnvelopeWorker();
    EnvelopeWorker(const EnvelopeWorker&) = delete;
    EnvelopeWorker& operator=(const EnvelopeWorker&) = delete;

    // Nothing starts for an envelope that is complete or failed.
    void Start(std::shared_ptr<LevelEnvelope> envelope, EnvelopeSource source);
    // Asks the running work to stop before its next frame and waits for it.
    void Cancel();

    // The envelope being worked on, none when idle or cancelled.
    const LevelEnvelope* Current() const { return envelope_.get(); }
    // True while the thread has work left.
    bool Busy() const { return busy_.load(std::memory_order_acquire); }

  private:
    std::thread thread_;
    std::shared_ptr<LevelEnvelope> envelope_;
    std::atomic<bool> terminate_{false};
    std::atomic<bool> busy_{false};
};

}  // namespace sw
