#include "document_session.h"

#include <cstdio>

#include "cli_error.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

TGlobalSettings SessionSettings(bool writeIndexFiles) {
    TGlobalSettings settings = DefaultGlobalSettings();
    settings.SaveIndexStream = writeIndexFiles;
    return settings;
}

}  // namespace

DocumentSession::DocumentSession(bool writeIndexFiles)
    : settings_(SessionSettings(writeIndexFiles)),
      prompts_(StopRequested),
      scans_(settings_, &frontEnd_),
      document_(settings_, prompts_, scans_) {}

ImportOutcome DocumentSession::Import(const std::vector<std::string>& items) {
    std::vector<std::string> names;
    names.reserve(items.size());
    for (const std::string& item : items) {
        if (item.empty()) {
            throw UsageError("an empty file name");
        }
        names.push_back(AbsolutePath(item));
    }
    const int before = prompts_.Problems();
    ImportOutcome outcome;
    outcome.state = Bin().ParseMP3List(AbsolutePath("."), names);
    outcome.problems = prompts_.Problems() - before;
    outcome.stopped = StopRequested();
    return outcome;
}

ImportOutcome DocumentSession::LoadProject(const std::string& fileName) {
    if (!FileExists(fileName)) {
        throw CommandError(kStatusFileNotFound, "File not found: " + fileName);
    }
    const int before = prompts_.Problems();
    ImportOutcome outcome;
    if (!document_.LoadProject(AbsolutePath(fileName))) {
        throw CommandError(kStatusFailed, fileName + " is not a project file");
    }
    outcome.problems = prompts_.Problems() - before;
    outcome.stopped = StopRequested();
    return outcome;
}

int ImportExitStatus(const ImportOutcome& outcome) {
    if (outcome.stopped) {
        return 2;
    }
    return outcome.state == kImportNotFound && outcome.problems <= 1 ? 4 : 1;
}

bool ReportStopped(const ImportOutcome& outcome, const std::string& target) {
    if (!outcome.stopped) {
        return false;
    }
    std::fprintf(stderr, "slicewell-cli: Operation aborted; %s was not written\n", target.c_str());
    return true;
}

int ImportedStatus(const ImportOutcome& outcome, const char* document) {
    if (outcome.AllAdded()) {
        return 0;
    }
    std::fprintf(stderr, "slicewell-cli: not every item was added to the %s\n", document);
    return ImportExitStatus(outcome);
}

void CheckDocumentTarget(const std::string& targetName, const char* kind, const char* what) {
    if (targetName.empty()) {
        throw UsageError(std::string("the ") + what + " needs a file name");
    }
    if (FileKind(targetName) != kind) {
        throw UsageError(std::string("the ") + what + " must be named *." + kind + ", not '" +
                         targetName + "'");
    }
}

}  // namespace sw::cli
