#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "project/batch_export.h"
#include "project/cue_list_model.h"
#include "project/cut_exporter.h"

namespace sw::cli {

// The command line's export of one file of a batch: each file is written as every export is
// (ExportTargetFile) and takes its name only once it is complete, so a stop (Ctrl-C), a full
// disk or a read error leaves no partial file and no temporary one, and an existing file that
// was to be replaced stays as it was. Once a stop was requested nothing more is started.
class SplitExporter : public CutExporter {
  public:
    // label: the progress bar's text.
    void SetLabel(const std::string& label) { label_ = label; }
    int ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                    ExportStyle style) override;
    // Why the last export failed, when the reason is known ("Cannot write file ...: No space
    // left on device"); "" otherwise.
    const std::string& LastFailure() const { return lastFailure_; }

  private:
    std::string label_ = "Exporting";
    std::string lastFailure_;
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
// names; "mp3", "wav" or "m3q"), in list order, through the batch export in style. An existing
// file is replaced only with overwrite; a name that an earlier cue of this split took is never
// replaced, so two cues whose safe names agree cannot overwrite each other; a symbolic link that
// leads out of the folder is never written through. What is not written is reported on stderr
// and the split goes on with the next cue, until a stop request.
SplitOutcome SplitCues(CueListModel& cues, const std::string& folder, const std::string& extension,
                       bool overwrite, ExportStyle style, const SplitSteps& steps = {});

// Throws CommandError 1 unless the folder is one that takes new files, or could be made: the
// nearest folder on its way that exists takes new ones. Makes nothing, so that a command that
// fails later (its input is missing) leaves no folder behind.
void CheckSplitFolder(const std::string& folder);

// Makes the folder (with its parents) when missing, then checks it as CheckSplitFolder does.
void MakeSplitFolder(const std::string& folder);

}  // namespace sw::cli
