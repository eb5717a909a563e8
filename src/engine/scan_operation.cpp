#include "engine/scan_operation.h"

#include <algorithm>
#include <climits>

#include "app/global_settings.h"
#include "engine/process_form.h"
#include "engine/scan.h"
#include "engine/worker_runner.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw {

int ScanCutObject(TCutObject* cut, Prompts&) {
    if (cut == nullptr || !FileExists(cut->FileName) || !cut->FileStream || !cut->IndexStream) {
        return kStatusFailed;
    }
    const int64_t size = cut->FileStream->Size();

    TProcessForm form;
    TProcessForm::ResetEstimate();
    form.SetRange(0, static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX) - 1));
    form.SetCaptionFormat("Scanning... (ETA: %s)");
    form.SetAction("Scanning:\r\n%s",
                   TProcessForm::ShortenFileName(QString::fromStdString(cut->FileName), 75));
    form.SetLabelFormat("%d of %d bytes scanned");

    const std::optional<int> result =
        RunWorker(form, [cut](WorkerControl& control) { return ScanFrames(*cut, control); });
    if (!result) {
        return kStatusOutOfMemory;
    }
    const int status = *result;
    cut->CompletelyScanned = status == kStatusOk;

    if (GlobalSettings().SaveIndexStream && !IsReadOnly(cut->FileName)) {
        // The index file only saves a later scan; failing to write it takes nothing from this one.
        try {
            SaveCutObject(cut, ChangeFileExt(cut->FileName, "m3i"));
        } catch (const FileError&) {
        }
    }
    return status;
}

}  // namespace sw
