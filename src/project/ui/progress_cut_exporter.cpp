#include "project/ui/progress_cut_exporter.h"

#include "engine/ui/export_operations.h"

namespace sw {

int ProgressCutExporter::ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                                     ExportStyle style) {
    return sw::ExportCutObject(target, &cut, span, style, prompts_);
}

}  // namespace sw
