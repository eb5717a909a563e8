#include "project/scan_runner.h"

#include "engine/operation_front_end.h"
#include "engine/scan.h"
#include "project/index_save_rule.h"
#include "stream/status.h"

namespace sw {

int CoreScanRunner::Scan(TCutObject& cut) {
    int status;
    if (frontEnd_ != nullptr) {
        WorkerTask task;
        task.kind = WorkerTask::Kind::Scan;
        task.fileName = cut.FileName;
        task.total = cut.FileStream ? cut.FileStream->Size() : 0;
        status = frontEnd_->Run(
            task, [&cut](WorkerControl& control) { return ScanFrames(cut, control); });
    } else {
        WorkerControl control;
        status = ScanFrames(cut, control);
    }
    cut.CompletelyScanned = status == kStatusOk;
    IndexSaveRequest request;
    request.besideSource = settings_.SaveIndexStream;
    const IndexSaveOutcome saved = SaveIndexAfterScan(cut, status, request);
    // The index file only spares a later scan; failing to write it takes nothing from this one.
    if (!saved.failure.empty() && frontEnd_ != nullptr) {
        frontEnd_->Note(saved.failure);
    }
    return status;
}

}  // namespace sw
