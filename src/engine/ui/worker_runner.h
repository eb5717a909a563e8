#pragma once

#include <functional>
#include <optional>

#include "engine/ui/process_form.h"
#include "engine/worker_control.h"

namespace sw {

// Runs work on its own thread while form is shown modally, and returns when both have ended.
// work gets the WorkerControl the window watches; whatever it throws becomes status 3. The
// worker stores its status, then a queued call on the GUI thread shows the final progress value
// and ends the modal loop. Returns that status, or nothing when no thread could be started (the
// window is not shown then; the callers report 6). Call on the GUI thread.
std::optional<int> RunWorker(TProcessForm& form, const std::function<int(WorkerControl&)>& work);

}  // namespace sw
