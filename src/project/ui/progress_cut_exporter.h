#pragma once

#include "engine/ui/qt_front_end.h"
#include "project/prompted_export.h"
#include "stream/prompts.h"

namespace sw {

// The front end of the windows' exports: the modal progress window with its Abort button. A
// base of its own so that it is built before the exporter that runs under it.
class ProgressWindowFrontEnd {
  protected:
    QtFrontEnd progressWindow_;
};

// The windows' exports of bin entries, cues and the cutter's selection: the prompted export
// (project/prompted_export.h) under the progress window.
class ProgressCutExporter : private ProgressWindowFrontEnd, public PromptedCutExporter {
  public:
    explicit ProgressCutExporter(Prompts& prompts)
        : PromptedCutExporter(progressWindow_, prompts) {}
};

}  // namespace sw
