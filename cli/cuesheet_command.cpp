#include <cstdio>
#include <string>

#include "cli_error.h"
#include "commands.h"
#include "document_session.h"
#include "options.h"
#include "project/cue_sheet_writer.h"
#include "stream/file_names.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli cuesheet PROJECT.m3p OUT.cue [--no-index]\n"
    "\n"
    "Writes the project's cue list as a CUE sheet, as the cue list's \"Save as cue sheet\" does:\n"
    "a FILE block for each run of cues from one source (in the sheet's folder by its bare name,\n"
    "else by its full path), a TRACK per cue with the cue's name as TITLE (without a leading\n"
    "\"NN - \" that is the track's own number) and INDEX 01 at the time of the cue's first frame.\n"
    "A sheet keeps only where each cue starts: read back, a cue runs to the next one's start,\n"
    "the last of a file to its end. Cues that do not run so are written as they are and named\n"
    "in a warning. The project's files are opened as the program opens them (scanned, or from\n"
    "the index files beside them). OUT.cue is replaced.\n"
    "\n"
    "  --no-index  write no index file beside a scanned source\n";

}  // namespace

int RunCueSheet(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(args, {{"--no-index", false}}, 2, 2);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& project = parsed.positional[0];
    if (FileKind(project) != "m3p") {
        throw UsageError("cuesheet writes the cues of a project (.m3p), not of '" + project + "'");
    }
    CheckDocumentTarget(parsed.positional[1], "cue", "cue sheet");
    const std::string target = AbsolutePath(parsed.positional[1]);

    DocumentSession session(!parsed.Has("--no-index"));
    const ImportOutcome loaded = session.LoadProject(project);
    if (ReportStopped(loaded, parsed.positional[1])) {
        return 2;
    }
    CueListModel& cues = session.Cues();
    std::vector<const TCueObject*> list;
    for (int row = 0; row < cues.Count(); ++row) {
        list.push_back(cues.At(row));
    }
    const CueSheetPlan plan = PlanCueSheet(list);
    if (plan.Tracks.empty()) {
        throw CommandError(1, project + " has no cue to write");
    }
    SaveCueSheet(target, plan.Tracks);
    std::printf("Saved %zu tracks to %s\n", plan.Tracks.size(), parsed.positional[1].c_str());
    for (const std::string& name : plan.Loose) {
        std::fprintf(stderr,
                     "slicewell-cli: warning: %s does not end where the next cue of its file "
                     "starts (or at the file's end); read back it will\n",
                     name.c_str());
    }
    return loaded.problems == 0 ? 0 : ImportExitStatus(loaded);
}

}  // namespace sw::cli
