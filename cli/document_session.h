#pragma once

#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "cli_prompts.h"
#include "progress.h"
#include "project/project_document.h"
#include "project/scan_runner.h"

namespace sw::cli {

// What an import of the command's items came to.
struct ImportOutcome {
    int state = 0;         // ParseMP3List's state of the last item handled
    int problems = 0;      // messages about items not added (CliPrompts::Problems)
    bool stopped = false;  // a stop was requested (Ctrl-C) while importing
    // Every item was added: the last state is 0 and nothing was reported on the way.
    bool AllAdded() const { return state == 0 && problems == 0 && !stopped; }
};

// One project as the program holds it, for a command: the project document with its bin and cue
// list, asking through CliPrompts, scanning under the tool's progress bar and stop handling.
// The settings are the defaults (the tool reads no settings store): an index file is written
// beside each scanned source unless writeIndexFiles is false.
class DocumentSession {
  public:
    explicit DocumentSession(bool writeIndexFiles = true);
    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    ProjectDocument& Document() { return document_; }
    ProjectBinModel& Bin() { return document_.Bin(); }
    CueListModel& Cues() { return document_.Cues(); }
    CliPrompts& Prompts() { return prompts_; }

    // Imports the items in one list, as files dropped on the bin: each name is made absolute
    // (from the current folder, "." and ".." taken out), then ParseMP3List takes the list with the
    // current folder as base folder. An empty name is a usage error.
    ImportOutcome Import(const std::vector<std::string>& items);
    // Loads a project file as the program's Open does: its files through the bin's import, its
    // cues onto the cue list. Throws CommandError (4 when the file is missing, 1 when it is not
    // a project file) and the read errors of a file cut short.
    ImportOutcome LoadProject(const std::string& fileName);

  private:
    TGlobalSettings settings_;
    CliPrompts prompts_;
    CliFrontEnd frontEnd_;
    CoreScanRunner scans_;
    ProjectDocument document_;
};

// The exit status of a command whose import did not add every item: 2 when it was stopped, 4
// when the only item not added is the last one and it does not exist, else 1.
int ImportExitStatus(const ImportOutcome& outcome);

// After an import that was stopped (Ctrl-C): says on stderr that target was not written, since
// what an interrupted import holds is not what was asked for, and returns true.
bool ReportStopped(const ImportOutcome& outcome, const std::string& target);

// The exit status of a command that wrote what its import added: 0 when that was every item,
// else ImportExitStatus after a note that the document lacks items.
int ImportedStatus(const ImportOutcome& outcome, const char* document);

// Throws UsageError unless the name's kind (FileKind) is the one the command writes: a script
// that forgot the output name would otherwise overwrite its first input with a document.
void CheckDocumentTarget(const std::string& targetName, const char* kind, const char* what);

}  // namespace sw::cli
