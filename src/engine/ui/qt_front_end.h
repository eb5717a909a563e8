#pragma once

#include <string>
#include <vector>

#include "engine/operation_front_end.h"

namespace sw {

// The windows' front end of the core operations: each worker runs under the modal progress
// window, captioned and labelled for what it does. Notes are kept for the caller, which decides
// whether and how to show them. Call on the GUI thread.
class QtFrontEnd : public OperationFrontEnd {
  public:
    int Run(const WorkerTask& task, const std::function<int(WorkerControl&)>& work) override;
    void Note(const std::string& text) override { notes_.push_back(text); }

    const std::vector<std::string>& Notes() const { return notes_; }

  private:
    std::vector<std::string> notes_;
};

}  // namespace sw
