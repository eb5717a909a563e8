#include "engine/ui/export_operations.h"

#include "engine/ui/qt_front_end.h"
#include "project/prompted_export.h"

namespace sw {

int ExportCutObject(const std::string& fileName, TCutObject* cut, FrameSpan span, ExportStyle style,
                    Prompts& prompts) {
    QtFrontEnd progress;
    return PromptedExportRange(fileName, cut, span, style, progress, prompts);
}

int ExportProject(const std::string& fileName, const TProjectProperties& project,
                  const std::vector<const TCueObject*>& cues, ExportStyle style, Prompts& prompts) {
    QtFrontEnd progress;
    return PromptedExportProject(fileName, project, cues, style, progress, prompts);
}

}  // namespace sw
