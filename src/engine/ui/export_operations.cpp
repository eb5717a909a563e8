#include "engine/ui/export_operations.h"

#include "engine/operation_error.h"
#include "engine/ui/qt_front_end.h"
#include "project/export_planning.h"
#include "stream/file_errors.h"
#include "stream/prompts.h"
#include "stream/status.h"

namespace sw {
namespace {

std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter;
    return reporter;
}

// What only the GUI thread may show, after the worker ended: a failed WAV header, and what the
// export noted on its way. A failure whose reason is known ends the command as a file error
// does, so the window shows the reason ("No space left on device") rather than "Unknown error
// at operation".
int Shown(const ExportOutcome& outcome, const std::string& fileName, const QtFrontEnd& frontEnd,
          Prompts& prompts) {
    if (outcome.waveHeaderFailed) {
        prompts.Error("Write error", "Unable to write wave-header");
    } else if (outcome.status == kStatusOk && Reporter()) {
        Reporter()(ExportReport(outcome.framesCopied, fileName));
    }
    if (outcome.status == kStatusUnknownError && !outcome.failure.empty()) {
        throw FileError(outcome.failure);
    }
    if (!frontEnd.Notes().empty()) {
        std::string text;
        for (const std::string& note : frontEnd.Notes()) {
            text += (text.empty() ? "" : "\r\n") + note;
        }
        prompts.Warning("Warning", text);
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

int ExportCutObject(const std::string& fileName, TCutObject* cut, FrameSpan span, ExportStyle style,
                    Prompts& prompts) {
    if (fileName.empty() || cut == nullptr || !cut->FileStream || !cut->IndexStream) {
        return kStatusFailed;
    }
    return Refusable(prompts, [&] {
        QtFrontEnd frontEnd;
        return Shown(ExportCutObjectRange(*cut, span, fileName, style, frontEnd), fileName,
                     frontEnd, prompts);
    });
}

void SetExportReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = std::move(reporter);
}

int ExportProject(const std::string& fileName, const TProjectProperties& project,
                  const std::vector<const TCueObject*>& cues, ExportStyle style, Prompts& prompts) {
    if (fileName.empty() || cues.empty()) {
        return kStatusFailed;
    }
    return Refusable(prompts, [&] {
        QtFrontEnd frontEnd;
        return Shown(ExportCues(cues, project, fileName, project.FileName, style, frontEnd),
                     fileName, frontEnd, prompts);
    });
}

}  // namespace sw
