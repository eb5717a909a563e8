#include "project/inline_front_end.h"

#include <exception>

#include "stream/status.h"

namespace sw {

int InlineFrontEnd::Run(const WorkerTask&, const std::function<int(WorkerControl&)>& work) {
    WorkerControl control;
    try {
        return work(control);
    } catch (const std::exception&) {
        return kStatusUnknownError;  // as a worker thread would
    }
}

}  // namespace sw
