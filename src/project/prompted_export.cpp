#include "project/prompted_export.h"

#include "engine/operation_error.h"
#include "project/export_planning.h"
#include "stream/file_errors.h"
#include "stream/status.h"

namespace sw {
namespace {

std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter;
    return reporter;
}

// Runs under the caller's front end but keeps what the export notes, to be shown once the
// worker ended: a front end's Note may be called on the worker thread.
class NoteKeeper : public OperationFrontEnd {
  public:
    explicit NoteKeeper(OperationFrontEnd& progress) : progress_(progress) {}
    int Run(const WorkerTask& task, const std::function<int(WorkerControl&)>& work) override {
        return progress_.Run(task, work);
    }
    void Note(const std::string& text) override { notes_.push_back(text); }
    const std::vector<std::string>& Notes() const { return notes_; }

  private:
    OperationFrontEnd& progress_;
    std::vector<std::string> notes_;
};

int Shown(const ExportOutcome& outcome, const std::string& fileName, const NoteKeeper& notes,
          Prompts& prompts) {
    if (outcome.waveHeaderFailed) {
        prompts.Error("Write error", "Unable to write wave-header");
    } else if (outcome.status == kStatusOk && Reporter()) {
        Reporter()(ExportReport(outcome.framesCopied, fileName));
    }
    if (outcome.status == kStatusUnknownError && !outcome.failure.empty()) {
        throw FileError(outcome.failure);
    }
    if (!notes.Notes().empty()) {
        std::string text;
        for (const std::string& note : notes.Notes()) {
            text += (text.empty() ? "" : "\r\n") + note;
        }
        prompts.Warning("Warning", text);
    }
    return outcome.status;
}

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

int PromptedExportRange(const std::string& fileName, TCutObject* cut, FrameSpan span,
                        ExportStyle style, OperationFrontEnd& progress, Prompts& prompts) {
    if (fileName.empty() || cut == nullptr || !cut->FileStream || !cut->IndexStream) {
        return kStatusFailed;
    }
    return Refusable(prompts, [&] {
        NoteKeeper notes(progress);
        return Shown(ExportCutObjectRange(*cut, span, fileName, style, notes), fileName, notes,
                     prompts);
    });
}

int PromptedExportProject(const std::string& fileName, const TProjectProperties& project,
                          const std::vector<const TCueObject*>& cues, ExportStyle style,
                          OperationFrontEnd& progress, Prompts& prompts) {
    if (fileName.empty() || cues.empty()) {
        return kStatusFailed;
    }
    return Refusable(prompts, [&] {
        NoteKeeper notes(progress);
        return Shown(ExportCues(cues, project, fileName, project.FileName, style, notes), fileName,
                     notes, prompts);
    });
}

void SetExportReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = std::move(reporter);
}

int PromptedCutExporter::ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                                     ExportStyle style) {
    return PromptedExportRange(target, &cut, span, style, progress_, prompts_);
}

}  // namespace sw
