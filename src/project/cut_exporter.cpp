#include "project/cut_exporter.h"

#include "project/export_planning.h"
#include "stream/status.h"

namespace sw {

int CoreCutExporter::ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                                 ExportStyle style) {
    if (target.empty() || !cut.FileStream || !cut.IndexStream) {
        return kStatusFailed;
    }
    return ExportCutObjectRange(cut, span, target, style, frontEnd_).status;
}

}  // namespace sw
