#include "project/cut_exporter.h"

#include "engine/export_planning.h"
#include "stream/status.h"

namespace sw {

int CoreCutExporter::ExportCutObject(const std::string& target, TCutObject& cut, bool useMarks) {
    if (target.empty() || !cut.FileStream || !cut.IndexStream) {
        return kStatusFailed;
    }
    const int32_t first = useMarks ? cut.MarkIn : 0;
    const int32_t last = useMarks ? cut.MarkOut : cut.FrameCount() - 1;
    return ExportCutObjectRange(cut, target, first, last, frontEnd_).status;
}

}  // namespace sw
