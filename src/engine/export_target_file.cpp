#include "engine/export_target_file.h"

#include <sys/stat.h>

#include "engine/export_targets.h"
#include "engine/operation_error.h"
#include "stream/document_file.h"
#include "stream/file_errors.h"
#include "stream/status.h"

namespace sw {

namespace {

// The file the new one goes beside and replaces, once the name was found fit for audio.
std::string CheckedTarget(const std::string& targetName, const std::string& projectFile) {
    const std::string problem = AudioTargetProblem(targetName, projectFile);
    if (!problem.empty()) {
        throw OperationError(kStatusFailed, problem);
    }
    return DocumentTarget(targetName);
}

}  // namespace

ExportTargetFile::ExportTargetFile(const std::string& targetName, const std::string& projectFile)
    : targetName_(targetName),
      replacement_(CheckedTarget(targetName, projectFile), targetName),
      stream_(replacement_.Descriptor(), targetName) {}

bool ExportTargetFile::Finish(ExportOutcome& outcome, bool keepAborted) {
    const bool complete =
        outcome.status == kStatusOk || (keepAborted && outcome.status == kStatusAborted);
    if (complete && !outcome.waveHeaderFailed) {
        try {
            stream_.Flush();
            replacement_.Replace(ReplacementFile::Commit::Durable);
            RemoveIndexDescribing(targetName_);
            return true;
        } catch (const FileWriteError& error) {
            outcome.status = kStatusUnknownError;
            outcome.failure = error.what();
        }
    } else if (complete && outcome.waveHeaderFailed) {
        outcome.status = kStatusUnknownError;  // a WAV file without its header is no export
    }
    // The target's own refusal says more than whatever it made fail on the way.
    if (stream_.FirstError() != 0) {
        outcome.failure = FileWriteError(targetName_, stream_.FirstError()).what();
    }
    outcome.framesCopied = 0;
    return false;
}

int64_t ExportTargetFile::TargetBytes() const {
    struct stat st {};
    return ::stat(targetName_.c_str(), &st) == 0 ? int64_t{st.st_size} : 0;
}

}  // namespace sw
