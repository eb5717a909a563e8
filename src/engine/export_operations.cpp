#include "engine/export_operations.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "engine/export.h"
#include "engine/process_form.h"
#include "engine/worker_runner.h"
#include "stream/status.h"

namespace sw {
namespace {

void PrepareExportForm(TProcessForm& form, const std::string& fileName, int64_t maximum) {
    TProcessForm::ResetEstimate();
    form.SetRange(0, static_cast<int32_t>(std::clamp<int64_t>(maximum, INT32_MIN, INT32_MAX)));
    form.SetCaptionFormat("Exporting... (ETA: %s)");
    form.SetAction("Exporting:\r\n%s",
                   TProcessForm::ShortenFileName(QString::fromStdString(fileName), 75));
    form.SetLabelFormat("%d of %d frames exported");
}

// Runs one export worker and reports what only the GUI thread may show.
int RunExport(TProcessForm& form, Prompts& prompts,
              const std::function<ExportOutcome(WorkerControl&)>& work) {
    ExportOutcome outcome;
    const std::optional<int> result = RunWorker(form, [&outcome, &work](WorkerControl& control) {
        outcome = work(control);
        return outcome.status;
    });
    if (!result) {
        return kStatusOutOfMemory;
    }
    if (outcome.waveHeaderFailed) {
        prompts.Error("Write error", "Unable to write wave-header");
    }
    return *result;
}

}  // namespace

int ExportCutObject(const std::string& fileName, TCutObject* cut, bool useMarks, Prompts& prompts) {
    if (fileName.empty() || cut == nullptr || !cut->FileStream || !cut->IndexStream) {
        return kStatusFailed;
    }
    const int32_t first = useMarks ? cut->MarkIn : 0;
    const int32_t last = useMarks ? cut->MarkOut : cut->FrameCount() - 1;

    TProcessForm form;
    PrepareExportForm(form, fileName, int64_t(last) - first);
    const std::unique_ptr<ByteStream> target = CreateExportTarget(fileName);
    const bool wave = IsWaveTarget(fileName);
    return RunExport(form, prompts, [&](WorkerControl& control) {
        return ExportCutObjectFrames(*target, wave, *cut, first, last, control);
    });
}

int ExportProject(const std::string& fileName, const TProjectProperties& project,
                  const std::vector<const TCueObject*>& cues, Prompts& prompts) {
    if (fileName.empty() || cues.empty()) {
        return kStatusFailed;
    }
    int64_t total = 0;
    for (const TCueObject* cue : cues) {
        if (cue != nullptr) {
            total += int64_t(cue->MarkOut) - cue->MarkIn + 1;
        }
    }

    TProcessForm form;
    PrepareExportForm(form, fileName, total - 1);
    const std::unique_ptr<ByteStream> target = CreateExportTarget(fileName);
    const bool wave = IsWaveTarget(fileName);
    const TProjectProperties settings = project;  // later edits do not reach a running export
    return RunExport(form, prompts, [&](WorkerControl& control) {
        return ExportProjectFrames(*target, wave, settings, cues, control);
    });
}

}  // namespace sw
