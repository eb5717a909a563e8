#include "engine/ui/scan_operation.h"

#include "app/settings/global_settings.h"
#include "engine/scan.h"
#include "engine/ui/qt_front_end.h"
#include "project/index_save_rule.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw {

int ScanCutObject(TCutObject* cut, Prompts&) {
    if (cut == nullptr || !FileExists(cut->FileName) || !cut->FileStream || !cut->IndexStream) {
        return kStatusFailed;
    }
    QtFrontEnd frontEnd;
    const WorkerTask task{WorkerTask::Kind::Scan, cut->FileName, cut->FileStream->Size()};
    const int status =
        frontEnd.Run(task, [cut](WorkerControl& control) { return ScanFrames(*cut, control); });
    if (status == kStatusOutOfMemory) {
        return status;  // no worker could be started (the scan itself never gives 6)
    }
    cut->CompletelyScanned = status == kStatusOk;
    // The index file only saves a later scan; failing to write it takes nothing from this one.
    SaveIndexAfterScan(*cut, status, IndexSaveRequest{GlobalSettings().SaveIndexStream, ""});
    return status;
}

}  // namespace sw
