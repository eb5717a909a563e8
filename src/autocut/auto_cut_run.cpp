#include "autocut/auto_cut_run.h"

#include <system_error>

namespace sw {

AutoCutRun::~AutoCutRun() {
    Abort();
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool AutoCutRun::Start(TCutObject* cut, int32_t threshold) {
    if (worker_.joinable()) {
        return false;
    }
    try {
        worker_ = std::thread([this, cut, threshold] {
            const AutoCutSink sink = [this](TCutObject*, const std::string& name, int32_t markIn,
                                            int32_t markOut) {
                const std::lock_guard<std::mutex> hold(lock_);
                found_.push_back({name, markIn, markOut});
                return true;
            };
            const AutoCutResult result = ProcessFile(cut, threshold, sink, control_);
            const std::lock_guard<std::mutex> hold(lock_);
            result_ = result;
            finished_ = true;
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool AutoCutRun::Finished() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return finished_;
}

std::vector<AutoCutRun::FoundCue> AutoCutRun::TakeCues() {
    const std::lock_guard<std::mutex> hold(lock_);
    std::vector<FoundCue> cues;
    cues.swap(found_);
    return cues;
}

AutoCutResult AutoCutRun::Wait() {
    if (worker_.joinable()) {
        worker_.join();
    }
    const std::lock_guard<std::mutex> hold(lock_);
    return result_;
}

}  // namespace sw
