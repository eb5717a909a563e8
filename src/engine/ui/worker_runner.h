#pragma once

#include <atomic>
#include <functional>
#include <optional>

#include "engine/ui/process_form.h"
#include "engine/worker_control.h"

namespace sw {

// The final status of the last scan or export worker, stored by the worker before its done
// notification and read by the starting operation after the progress window has closed.
extern std::atomic<int> LastThreadResult;

// Runs work on its own thread while form is shown modally, and returns when both have ended.
// work gets the WorkerControl the window watches; whatever it throws becomes status 3. The
// worker stores its status in LastThreadResult, then a queued call on the GUI thread shows the
// final progress value and ends the modal loop. Returns LastThreadResult, or nothing when no
// thread could be started (the window is not shown then; the callers report 6). Call on the GUI
// thread.
std::optional<int> RunWorker(TProcessForm& form, const std::function<int(WorkerControl&)>& work);

}  // namespace sw
