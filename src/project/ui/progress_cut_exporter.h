#pragma once

#include "project/cut_exporter.h"
#include "stream/prompts.h"

namespace sw {

// The windows' exports of bin entries and cues: the export under its modal progress window,
// with its Abort button.
class ProgressCutExporter : public CutExporter {
  public:
    explicit ProgressCutExporter(Prompts& prompts) : prompts_(prompts) {}
    int ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                    ExportStyle style) override;

  private:
    Prompts& prompts_;
};

}  // namespace sw
