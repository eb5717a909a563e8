#include "project/ui/progress_operations.h"

#include "engine/export_operations.h"
#include "engine/scan_operation.h"

namespace sw {

int ProgressScanRunner::Scan(TCutObject& cut) {
    return ScanCutObject(&cut, prompts_);
}

int ProgressCutExporter::ExportCutObject(const std::string& target, TCutObject& cut,
                                         bool useMarks) {
    return sw::ExportCutObject(target, &cut, useMarks, prompts_);
}

}  // namespace sw
