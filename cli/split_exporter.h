#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "project/cue_list_model.h"
#include "project/cut_exporter.h"

namespace sw::cli {

// The command line's ExportCutObject for a batch of cues: each file is written under a temporary
// name in its folder and takes its name only once it is complete, so a stop (Ctrl-C), a full
// disk or a read error leaves no partial file and no temporary one, and an existing file that
// was to be replaced stays as it was. Once a stop was requested nothing more is started. A
// target that a rename would change the meaning of (a link, a file with other hard links) is
// written in place, as the export command does.
class SplitExporter : public CutExporter {
  public:
    // label: the progress bar's text.
    void SetLabel(const std::string& label) { label_ = label; }
    int ExportCutObject(const std::string& target, TCutObject& cut, bool useMarks) override;

  private:
    std::string label_ = "Exporting";
};

// What a split into a folder did.
struct SplitOutcome {
    int written = 0;
    int skipped = 0;  // the file existed (and --force was not given), or two cues had one name
    int failed = 0;
    bool stopped = false;
    int status = 0;  // 0, else the status the command ends with
};

// How a split names and finishes its files, where it differs from the folder export's.
struct SplitSteps {
    // The file a row's cue goes to; by default the folder export's name.
    std::function<std::string(int row)> target;
    // Runs once a row's file is complete (the split's tags); what it throws counts the cue as
    // failed.
    std::function<void(const std::string& target, int row)> written;
};

// Writes every cue of the list into folder as "<safe cue name>.<extension>" (the folder export's
// names; "mp3", "wav" or "m3q"), in list order. An existing file is replaced only with
// overwrite; a name that an earlier cue of this split took is never replaced, so two cues whose
// safe names agree cannot overwrite each other. What is not written is reported on stderr and
// the split goes on with the next cue, until a stop request.
SplitOutcome SplitCues(CueListModel& cues, const std::string& folder, const std::string& extension,
                       bool overwrite, const SplitSteps& steps = {});

// Makes the folder (with its parents) when missing. Throws CommandError 1 when it is no folder or
// takes no new files.
void PrepareSplitFolder(const std::string& folder);

}  // namespace sw::cli
