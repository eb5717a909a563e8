#pragma once

#include "project/cut_exporter.h"
#include "project/scan_runner.h"
#include "stream/prompts.h"

namespace sw {

// The bin's scans under the modal progress window, with its Abort button.
class ProgressScanRunner : public ScanRunner {
  public:
    explicit ProgressScanRunner(Prompts& prompts) : prompts_(prompts) {}
    int Scan(TCutObject& cut) override;

  private:
    Prompts& prompts_;
};

// The bin's and the cue list's exports under the modal progress window.
class ProgressCutExporter : public CutExporter {
  public:
    explicit ProgressCutExporter(Prompts& prompts) : prompts_(prompts) {}
    int ExportCutObject(const std::string& target, TCutObject& cut, bool useMarks) override;

  private:
    Prompts& prompts_;
};

}  // namespace sw
