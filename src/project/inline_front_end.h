#pragma once

#include <string>
#include <vector>

#include "engine/operation_front_end.h"

namespace sw {

// Runs each operation's work on the calling thread with nobody watching, and keeps its notes:
// the front end of tests and of unattended batch work.
class InlineFrontEnd : public OperationFrontEnd {
  public:
    int Run(const WorkerTask& task, const std::function<int(WorkerControl&)>& work) override;
    void Note(const std::string& text) override { notes.push_back(text); }

    std::vector<std::string> notes;
};

}  // namespace sw
