#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/export.h"
#include "engine/frame_span.h"
#include "project/cut_exporter.h"
#include "stream/cut_object.h"

namespace sw {

// One file of a batch export: frames span of a cut object written to target, as MPEG audio, as
// WAV or as a cue file by the target's kind (".wav", ".m3q", anything else MPEG).
struct BatchItem {
    TCutObject* cut = nullptr;
    FrameSpan span;
    std::string target;  // the name proposed, e.g. "<folder>/<safe cue name>.mp3"
    std::string name;    // the cue's name: what a cue file stores
    // Runs once the file was written whole under the name it got (to write its tags, say); false
    // counts as a failure of the item. May be empty.
    std::function<bool(const std::string& written)> finish;
};

// Each front end's own rules for a target that exists already.
class BatchPolicy {
  public:
    virtual ~BatchPolicy() = default;
    // Called for an item whose target exists, or that an earlier item of this batch wrote
    // (takenByBatch): the name to write instead (the target itself to replace it), or "" to
    // skip the item.
    virtual std::string ResolveExisting(const BatchItem& item, bool takenByBatch) = 0;
    // True when the batch is to end before the next item (a stop request).
    virtual bool StopRequested() { return false; }
};

// An item that was not written.
struct BatchFailure {
    std::string target;
    int status = 0;     // the export's status, when it returned one
    std::string error;  // the error it threw ("Cannot create file ..."), else ""
};

struct BatchOutcome {
    int written = 0;
    int skipped = 0;
    bool stopped = false;  // a stop request, or an export the user aborted
    std::vector<BatchFailure> failures;
};

// Writes the items in order through exporter (a cue file directly), in style. An item that
// cannot be written (its target refused, a full disk, an error thrown) is listed and the batch
// goes on with the next; an export the user aborted (status 2, listed too) and a stop request
// end it. onFailure, when given, hears of each failure as it happens.
// This serves the cue list's folder export and the command line's split alike, each with its
// own policy.
BatchOutcome ExportBatch(const std::vector<BatchItem>& items, BatchPolicy& policy,
                         CutExporter& exporter, ExportStyle style,
                         const std::function<void(const BatchFailure&)>& onFailure = {});

}  // namespace sw
