#pragma once

#include "app/settings/global_settings.h"
#include "stream/cut_object.h"

namespace sw {

class OperationFrontEnd;

// Runs the scan of a fresh cut object for the bin. The windows back it with the scan under its
// progress window; the command line and tests with CoreScanRunner. Either way the result is the
// scan's status (0 complete, 2 aborted with the partial index kept, anything else failed),
// CompletelyScanned is set for 0, and with "SaveIndexStream" the index file is written beside the
// source as the index save rule says.
class ScanRunner {
  public:
    virtual ~ScanRunner() = default;
    virtual int Scan(TCutObject& cut) = 0;
};

// The scan on the calling thread, or under frontEnd when one is given.
class CoreScanRunner : public ScanRunner {
  public:
    explicit CoreScanRunner(const TGlobalSettings& settings, OperationFrontEnd* frontEnd = nullptr)
        : settings_(settings), frontEnd_(frontEnd) {}
    int Scan(TCutObject& cut) override;

  private:
    const TGlobalSettings& settings_;
    OperationFrontEnd* frontEnd_;
};

}  // namespace sw
