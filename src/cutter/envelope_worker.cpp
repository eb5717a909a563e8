#include "cutter/envelope_worker.h"

#include <exception>

#include "cutter/envelope_builder.h"

namespace sw {

EnvelopeWorker::~EnvelopeWorker() {
    Cancel();
}

void EnvelopeWorker::Cancel() {
    terminate_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) {
        thread_.join();
    }
    busy_.store(false, std::memory_order_release);
    envelope_.reset();
}

void EnvelopeWorker::Start(std::shared_ptr<LevelEnvelope> envelope, EnvelopeSource source) {
    Cancel();
    if (!envelope || envelope->Complete() || !envelope->Failure().empty()) {
        return;
    }
    envelope_ = std::move(envelope);
    terminate_.store(false, std::memory_order_relaxed);
    busy_.store(true, std::memory_order_release);
    // The thread holds the envelope too: the window may let go of it while the work winds down.
    thread_ = std::thread([this, envelope = envelope_, source = std::move(source)] {
        try {
            SourceFrameReader frames(source);
            if (!frames.Error().empty()) {
                envelope->SetFailure(frames.Error());
            } else if (BuildCoarseLevels(*envelope, frames, terminate_)) {
                BuildExactLevels(*envelope, frames, source.sampleRate, source.channels, terminate_);
            }
        } catch (const std::exception& error) {
            envelope->SetFailure(error.what());
        } catch (...) {
            envelope->SetFailure("Unknown error at operation");
        }
        busy_.store(false, std::memory_order_release);
    });
}

}  // namespace sw
