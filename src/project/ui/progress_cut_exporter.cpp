#include "project/ui/progress_cut_exporter.h"

#include "engine/export_operations.h"

namespace sw {

int ProgressCutExporter::ExportCutObject(const std::string& target, TCutObject& cut,
                                         bool useMarks) {
    return sw::ExportCutObject(target, &cut, useMarks, prompts_);
}

}  // namespace sw
