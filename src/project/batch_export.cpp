#include "project/batch_export.h"

#include <set>

#include "project/cue_file.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw {
namespace {

int WriteItem(const BatchItem& item, const std::string& target, CutExporter& exporter,
              ExportStyle style) {
    if (FileKind(target) == "m3q") {
        const TCueObject cue{item.cut, item.name, item.span.first, item.span.last};
        return SaveCueFile(&cue, target) ? kStatusOk : kStatusFailed;
    }
    if (item.cut == nullptr) {
        return kStatusFailed;
    }
    return exporter.ExportRange(target, *item.cut, item.span, style);
}

}  // namespace

BatchOutcome ExportBatch(const std::vector<BatchItem>& items, BatchPolicy& policy,
                         CutExporter& exporter, ExportStyle style,
                         const std::function<void(const BatchFailure&)>& onFailure) {
    BatchOutcome outcome;
    std::set<std::string> taken;
    const auto fail = [&](BatchFailure failure) {
        if (onFailure) {
            onFailure(failure);
        }
        outcome.failures.push_back(std::move(failure));
    };
    for (const BatchItem& item : items) {
        if (policy.StopRequested()) {
            outcome.stopped = true;
            break;
        }
        std::string target = item.target;
        const bool takenByBatch = taken.count(target) != 0;
        if (takenByBatch || FileExists(target)) {
            target = policy.ResolveExisting(item, takenByBatch);
            if (target.empty()) {
                ++outcome.skipped;
                continue;
            }
        }
        int status;
        try {
            status = WriteItem(item, target, exporter, style);
            if (status == kStatusOk && item.finish && !item.finish(target)) {
                status = kStatusFailed;
            }
        } catch (const std::exception& error) {
            fail(BatchFailure{target, kStatusFailed, error.what()});
            continue;
        }
        if (status == kStatusOk) {
            ++outcome.written;
            taken.insert(target);
            continue;
        }
        fail(BatchFailure{target, status, ""});
        if (status == kStatusAborted) {
            outcome.stopped = true;
            break;
        }
    }
    return outcome;
}

}  // namespace sw
