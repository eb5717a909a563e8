#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/worker_control.h"

namespace sw::cli {

// The untyped core of RunWithProgress.
void RunWatched(const std::string& label, int64_t total, WorkerControl& control,
                const std::function<void()>& work);

// Runs a scan or export on a worker thread and watches it from this one: about ten times a
// second it redraws a progress bar on stderr (only when stderr is a terminal) from the latest
// value the worker published, and turns Ctrl-C into a terminate request, so the worker ends
// with status 2 and whatever it writes stays well-formed. A second Ctrl-C kills as usual. The
// worker's own per-frame path does no I/O. Returns what work returned; rethrows what it threw.
template <typename Work>
auto RunWithProgress(const std::string& label, int64_t total, WorkerControl& control, Work&& work) {
    decltype(work()) result{};
    RunWatched(label, total, control, [&] { result = work(); });
    return result;
}

}  // namespace sw::cli
