#pragma once

#include <string>

#include "engine/export.h"
#include "engine/frame_span.h"
#include "engine/operation_front_end.h"
#include "stream/cut_object.h"

namespace sw {

// Exports frames span of a cut object (taken as values: the cut object's marks play no part) to
// a file, MP3 or WAV by the target's kind, in the given style. The windows back it with the
// export under its progress window; the command line and tests with CoreCutExporter. Returns
// the export's status; throws FileCreateError when the target cannot be created or is a source
// a cut object holds open, and OperationError for a target no export may write (a project,
// playlist or index name).
class CutExporter {
  public:
    virtual ~CutExporter() = default;
    virtual int ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                            ExportStyle style) = 0;
};

// The engine's range export under a front end.
class CoreCutExporter : public CutExporter {
  public:
    explicit CoreCutExporter(OperationFrontEnd& frontEnd) : frontEnd_(frontEnd) {}
    int ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                    ExportStyle style) override;

  private:
    OperationFrontEnd& frontEnd_;
};

// Writes a cue to target, its range taken as values (the cut object's marks and name stay as
// they are): a cue file for a ".m3q" name, else its frames through exporter. True when the file
// was written; throws as SaveCueFile and ExportRange do. The cue list's "Export as" and the
// cutter's export of its selection both write through here.
bool WriteCue(const TCueObject& cue, const std::string& target, CutExporter& exporter,
              ExportStyle style);

}  // namespace sw
