#pragma once

#include <atomic>
#include <cstdint>

namespace sw {

// What a scan or export worker shares with whoever watches it: the latest progress value
// (published before every frame) and the terminate request (polled before every frame). The
// watcher reads the value at its own pace; nothing is called per frame.
struct WorkerControl {
    std::atomic<int32_t> progress{0};
    std::atomic<bool> terminate{false};

    void Report(int32_t value) { progress.store(value, std::memory_order_relaxed); }
    bool TerminateRequested() const { return terminate.load(std::memory_order_relaxed); }
    void RequestTerminate() { terminate.store(true, std::memory_order_relaxed); }
};

}  // namespace sw
