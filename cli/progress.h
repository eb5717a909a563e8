#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/operation_front_end.h"
#include "engine/worker_control.h"
#include "stream/cut_object.h"

namespace sw::cli {

// Makes SIGINT, SIGTERM and SIGHUP requests to stop rather than ends of the process, for the
// whole run: the first, the second and every later one only set a flag that the running scan or
// export sees before its next frame. Killing the process while it writes would leave a
// temporary file or a WAV file whose header was never written; stopping the work lets it remove
// the one and finish the other. Call once, before any work starts.
void InstallStopRequestHandlers();

// A stop was requested since the process started.
bool StopRequested();

// The untyped core of RunWithProgress.
void RunWatched(const std::string& label, int64_t total, WorkerControl& control,
                const std::function<void()>& work);

// Runs a scan or export on a worker thread (which takes none of the stop signals, so its system
// calls are never interrupted by them) and watches it from this one: about ten times a second it
// redraws a progress bar on stderr (only when stderr is a terminal) from the latest value the
// worker published, and turns a stop request into a terminate request, so the worker ends with
// status 2 and whatever it writes stays well-formed. A stop requested before the work starts
// stops it at once. The worker's own per-frame path does no I/O. Returns what work returned;
// rethrows what it threw.
template <typename Work>
auto RunWithProgress(const std::string& label, int64_t total, WorkerControl& control, Work&& work) {
    decltype(work()) result{};
    RunWatched(label, total, control, [&] { result = work(); });
    return result;
}

// The command line's front end of the core operations: progress bars and stop requests as
// above, notes on stderr after "slicewell-cli: ".
class CliFrontEnd : public OperationFrontEnd {
  public:
    int Run(const WorkerTask& task, const std::function<int(WorkerControl&)>& work) override;
    void Note(const std::string& text) override;
};

// Where the tool keeps an index: as its settings (the defaults) say, in memory.
CutObjectOptions CliCutObjectOptions();

}  // namespace sw::cli
