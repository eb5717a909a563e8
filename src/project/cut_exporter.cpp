#include "project/cut_exporter.h"

#include "project/cue_file.h"
#include "project/export_planning.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw {

int CoreCutExporter::ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                                 ExportStyle style) {
    if (target.empty() || !cut.FileStream || !cut.IndexStream) {
        return kStatusFailed;
    }
    return ExportCutObjectRange(cut, span, target, style, frontEnd_).status;
}

bool WriteCue(const TCueObject& cue, const std::string& target, CutExporter& exporter,
              ExportStyle style) {
    if (FileKind(target) == "m3q") {
        return SaveCueFile(&cue, target);
    }
    return exporter.ExportRange(target, *cue.CutObject, FrameSpan{cue.MarkIn, cue.MarkOut},
                                style) == 0;
}

}  // namespace sw
