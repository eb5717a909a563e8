#pragma once

#include <string>

#include "engine/operation_front_end.h"
#include "stream/cut_object.h"

namespace sw {

// Exports a cut object's frames (all of them, or its marked range) to a file, MP3 or WAV by the
// target's kind. The windows back it with the export under its progress window; the command
// line and tests with CoreCutExporter. Returns the export's status; throws FileCreateError when
// the target cannot be created or is a source a cut object holds open, and OperationError for a
// target no export may write (a project, playlist or index name).
class CutExporter {
  public:
    virtual ~CutExporter() = default;
    virtual int ExportCutObject(const std::string& target, TCutObject& cut, bool useMarks) = 0;
};

// The engine's range export under a front end.
class CoreCutExporter : public CutExporter {
  public:
    explicit CoreCutExporter(OperationFrontEnd& frontEnd) : frontEnd_(frontEnd) {}
    int ExportCutObject(const std::string& target, TCutObject& cut, bool useMarks) override;

  private:
    OperationFrontEnd& frontEnd_;
};

}  // namespace sw
