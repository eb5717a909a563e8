#pragma once

#include <string>

#include "engine/operation_front_end.h"

namespace sw {

// The windows' front end of the core operations: each worker runs under the modal progress
// window, captioned and labelled for what it does. It shows no notes: a caller that has the user
// told them runs under a front end that keeps them (the exports' NoteKeeper, prompted_export).
// Call on the GUI thread.
class QtFrontEnd : public OperationFrontEnd {
  public:
    int Run(const WorkerTask& task, const std::function<int(WorkerControl&)>& work) override;
    void Note(const std::string&) override {}
};

}  // namespace sw
