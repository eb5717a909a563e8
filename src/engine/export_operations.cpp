#include "engine/export_operations.h"

#include "engine/export_planning.h"
#include "engine/operation_error.h"
#include "engine/qt_front_end.h"
#include "stream/file_errors.h"
#include "stream/prompts.h"
#include "stream/status.h"

namespace sw {
namespace {

std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter;
    return reporter;
}

// What only the GUI thread may show, after the worker ended. A failure whose reason is known
// ends the command as a file error does, so the window shows the reason ("No space left on
// device") rather than "Unknown error at operation".
int Shown(const ExportOutcome& outcome, const std::string& fileName, Prompts& prompts) {
    if (outcome.waveHeaderFailed) {
        prompts.Error("Write error", "Unable to write wave-header");
    } else if (outcome.status == kStatusOk && Reporter()) {
        Reporter()(ExportReport(outcome.framesCopied, fileName));
    }
    if (outcome.status == kStatusUnknownError && !outcome.failure.empty()) {
        throw FileError(outcome.failure);
    }
    return outcome.status;
}

// A target no export may write is refused before anything is touched, with the reason.
template <typename Export>
int Refusable(Prompts& prompts, Export&& run) {
    try {
        return run();
    } catch (const OperationError& error) {
        prompts.Error("Error", error.what());
        return error.Status();
    }
}

}  // namespace

int ExportCutObject(const std::string& fileName, TCutObject* cut, bool useMarks, Prompts& prompts) {
    if (fileName.empty() || cut == nullptr || !cut->FileStream || !cut->IndexStream) {
        return kStatusFailed;
    }
    const int32_t first = useMarks ? cut->MarkIn : 0;
    const int32_t last = useMarks ? cut->MarkOut : cut->FrameCount() - 1;
    return Refusable(prompts, [&] {
        QtFrontEnd frontEnd;
        return Shown(ExportCutObjectRange(*cut, fileName, first, last, frontEnd), fileName,
                     prompts);
    });
}

void SetExportReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = std::move(reporter);
}

int ExportProject(const std::string& fileName, const TProjectProperties& project,
                  const std::vector<const TCueObject*>& cues, Prompts& prompts) {
    if (fileName.empty() || cues.empty()) {
        return kStatusFailed;
    }
    return Refusable(prompts, [&] {
        QtFrontEnd frontEnd;
        return Shown(ExportCues(cues, project, fileName, project.FileName, frontEnd), fileName,
                     prompts);
    });
}

int ExportWholeFile(const std::string& sourceName, const std::string& fileName,
                    const CutObjectOptions& options, Prompts& prompts) {
    if (fileName.empty()) {
        return kStatusFailed;
    }
    return Refusable(prompts, [&] {
        QtFrontEnd frontEnd;
        const SourceExportResult result = ExportSourceFile(
            SourceExportRequest{sourceName, fileName, std::nullopt}, options, frontEnd);
        if (result.scanStatus != kStatusOk) {
            return result.scanStatus;
        }
        // An index file holds no frames to tell of.
        return result.kind == ExportTargetKind::IndexFile
                   ? result.outcome.status
                   : Shown(result.outcome, fileName, prompts);
    });
}

}  // namespace sw
