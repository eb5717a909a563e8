#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/worker_control.h"

namespace sw {

// What a worker is doing, for the front end to describe it: its window caption and label, or the
// command line's progress bar.
struct WorkerTask {
    enum class Kind {
        Scan,        // progress: bytes of fileName scanned, of total
        Export,      // progress: frames exported to fileName, of total
        ScanExport,  // a whole file copied while it is scanned: bytes of the source, of total
    };
    Kind kind = Kind::Scan;
    std::string fileName;  // the scanned source, or the export's target
    int64_t total = 0;
};

// How the core's operations (opening sources, exports) reach the user without knowing whether a
// window or a terminal shows them. Both front ends run exactly the same core code over it.
class OperationFrontEnd {
  public:
    virtual ~OperationFrontEnd() = default;

    // Runs work on a worker thread while the user watches its progress and may stop it, and
    // returns what work returned (whatever it throws becomes 3). Returns 6 when no worker could
    // be started.
    virtual int Run(const WorkerTask& task, const std::function<int(WorkerControl&)>& work) = 0;

    // Something the user should know that does not stop the operation ("not using x.m3i: ...;
    // scanning instead"). One sentence, no trailing newline.
    virtual void Note(const std::string& text) = 0;
};

}  // namespace sw
