#include "project/index_save_rule.h"

#include "project/index_beside.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw {

IndexSaveOutcome SaveIndexAfterScan(TCutObject& cut, int scanStatus,
                                    const IndexSaveRequest& request) {
    IndexSaveOutcome outcome;
    if (scanStatus != kStatusOk && scanStatus != kStatusAborted) {
        return outcome;
    }
    std::string target = request.fileName;
    if (target.empty()) {
        if (!request.besideSource) {
            return outcome;
        }
        if (IsReadOnly(cut.FileName)) {
            outcome.readOnlySource = true;
            return outcome;
        }
        target = IndexFileBeside(cut.FileName);
    }
    try {
        SaveCutObject(&cut, target);
        outcome.fileName = target;
    } catch (const FileError& error) {
        outcome.failure = error.what();
    }
    return outcome;
}

}  // namespace sw
