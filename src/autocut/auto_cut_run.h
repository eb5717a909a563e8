#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "autocut/auto_cut_search.h"

namespace sw {

// One auto-cut search on its own thread, for a window that must stay responsive: the window
// polls Progress, TakeCues and Finished at display rate and hands the cues to the cue list on
// its own thread, so the search never waits for the window and the window is never called per
// frame. The cut object's streams belong to the search until Wait returns.
class AutoCutRun {
  public:
    struct FoundCue {
        std::string Name;
        int32_t MarkIn = 0;
        int32_t MarkOut = 0;
        bool operator==(const FoundCue&) const = default;
    };

    AutoCutRun() = default;
    // Stops a search still running and waits for it.
    ~AutoCutRun();
    AutoCutRun(const AutoCutRun&) = delete;
    AutoCutRun& operator=(const AutoCutRun&) = delete;

    // Starts ProcessFile over the cut object (which may be null: the search then reports the
    // invalid cut object). False when no thread could be started; one search per object.
    bool Start(TCutObject* cut, int32_t threshold);
    // The search stops before its next frame; the runs seen so far still become cues.
    void Abort() { control_.RequestTerminate(); }

    bool Finished() const;
    // The number of the frame examined last.
    int32_t Progress() const { return control_.progress.load(std::memory_order_relaxed); }
    // The cues found since the last call, in the order found.
    std::vector<FoundCue> TakeCues();
    // Waits for the end of the search and returns its result.
    AutoCutResult Wait();

  private:
    WorkerControl control_;
    std::thread worker_;
    mutable std::mutex lock_;
    std::vector<FoundCue> found_;  // under lock_
    AutoCutResult result_;         // under lock_ once finished_
    bool finished_ = false;        // under lock_
};

}  // namespace sw
