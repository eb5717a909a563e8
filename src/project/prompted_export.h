#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/export.h"
#include "engine/frame_span.h"
#include "engine/operation_front_end.h"
#include "project/cut_exporter.h"
#include "stream/cut_object.h"
#include "stream/project_properties.h"
#include "stream/prompts.h"

namespace sw {

// The exports as the windows run them, over the planning the command line runs too
// (ExportCutObjectRange, ExportCues): the worker under progress (the windows' progress window),
// and what the user must be told through prompts once the worker ended, on the caller's thread:
// a target no audio export may write (a project, playlist, index or cue file name) is refused
// with the reason before anything is touched (status 1); a failed WAV header is shown; a failure
// whose reason is known (a full disk, a source that changed) is thrown as a FileError with that
// reason, as a failed open would be, instead of ending as "Unknown error at operation"; what the
// export noted (a piece copied plainly) is shown as one warning; a file written whole is told to
// the export reporter. Returns 1 for an empty name or a cut object without streams, else the
// export's status.
int PromptedExportRange(const std::string& fileName, TCutObject* cut, FrameSpan span,
                        ExportStyle style, OperationFrontEnd& progress, Prompts& prompts);

// The project export of the cues into fileName, the same way. Returns 1 for an empty name or no
// cues. The project's own file (project.FileName) is never a target.
int PromptedExportProject(const std::string& fileName, const TProjectProperties& project,
                          const std::vector<const TCueObject*>& cues, ExportStyle style,
                          OperationFrontEnd& progress, Prompts& prompts);

// Told what every export above wrote (ExportReport) once it wrote its file whole, so that the
// frame window can say so; none tells nobody.
void SetExportReporter(std::function<void(const std::string&)> reporter);

// The windows' exporter of bin entries, cues and the cutter's selection: PromptedExportRange
// under the front end it is given.
class PromptedCutExporter : public CutExporter {
  public:
    PromptedCutExporter(OperationFrontEnd& progress, Prompts& prompts)
        : progress_(progress), prompts_(prompts) {}
    int ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                    ExportStyle style) override;

  private:
    OperationFrontEnd& progress_;
    Prompts& prompts_;
};

}  // namespace sw
