#include <cstdio>
#include <string>

#include "cli_error.h"
#include "commands.h"
#include "document_session.h"
#include "options.h"
#include "progress.h"
#include "project/piece_names.h"
#include "project/taglib/piece_tagger.h"
#include "split_exporter.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli split SHEET.cue|PROJECT.m3p [DIR] [--format mp3|wav|m3q] [--raw]\n"
    "           [--force] [--tags none|v1|v2|both] [--no-index]\n"
    "\n"
    "Writes one file per track of a CUE sheet, or per cue of a project, into DIR (the current\n"
    "folder when not given; made when missing), named \"NN - Title.mp3\": the track number and\n"
    "title of a sheet's tracks, else the cue's place in the list and its name, with\n"
    "\" * / : < > ? \\ | and control characters made \"_\". The sheet is imported as the project\n"
    "bin imports it (its files scanned, or read from the index files beside them). An existing\n"
    "file is not replaced (a message names it) unless --force is given. Each file is written\n"
    "under a temporary name and renamed when complete.\n"
    "\n"
    "  --format F   mp3 (the frames), wav (the frames behind a WAV header) or m3q (cue files)\n"
    "  --raw        copy the frames byte for byte, nothing added or left out (clean cuts are the\n"
    "               default: see export --help)\n"
    "  --force      replace existing files\n"
    "  --tags T     the tags of MP3 pieces: none, v1 (ID3v1.1 at the end), v2 (ID3v2.4 at the\n"
    "               start) or both (the default): title, artist, album, track n/N, year, genre\n"
    "               and the source's cover, from the sheet and else from the source's tags\n"
    "  --no-index   write no index file beside a scanned source\n";

const std::vector<OptionSpec> kOptions = {
    {"--format", true}, {"--raw", false},      {"--force", false},
    {"--tags", true},   {"--no-index", false},
};

}  // namespace

int RunSplit(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(args, kOptions, 1, 2);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& input = parsed.positional[0];
    const std::string kind = FileKind(input);
    if (kind != "cue" && kind != "m3p") {
        throw UsageError("split takes a CUE sheet (.cue) or a project (.m3p), not '" + input + "'");
    }
    const std::string folder = parsed.positional.size() > 1 ? parsed.positional[1] : ".";
    if (folder.empty()) {
        throw UsageError("the folder to split into needs a name");
    }
    const std::string format = parsed.Value("--format").value_or("mp3");
    if (format != "mp3" && format != "wav" && format != "m3q") {
        throw UsageError("--format is mp3, wav or m3q, not '" + format + "'");
    }
    PieceTagKinds tags = PieceTagKinds::Both;
    if (const auto value = parsed.Value("--tags"); value && !PieceTagKindsOf(*value, tags)) {
        throw UsageError("--tags is none, v1, v2 or both, not '" + *value + "'");
    }
    CheckSplitFolder(folder);

    DocumentSession session(!parsed.Has("--no-index"));
    const ImportOutcome imported =
        kind == "cue" ? session.Import({input}) : session.LoadProject(input);
    if (imported.stopped) {
        std::fprintf(stderr, "slicewell-cli: %s; nothing was split\n",
                     StatusText(kStatusAborted).c_str());
        return kStatusAborted;
    }
    CueListModel& cues = session.Cues();
    if (cues.Count() == 0) {
        std::fprintf(stderr, "slicewell-cli: %s gives no cue to split\n", input.c_str());
        return imported.AllAdded() ? int{kStatusFailed} : ImportExitStatus(imported);
    }

    PieceTagger tagger;
    const int count = cues.Count();
    SplitSteps steps;
    steps.target = [&](int row) {
        const std::string name = PieceFileName(cues.At(row)->Name, row + 1, format);
        return folder.back() == '/' ? folder + name : folder + "/" + name;
    };
    steps.written = [&](const std::string& target, int row) {
        tagger.TagPiece(target, *cues.At(row), row + 1, count, tags);
        std::printf("%s\n", target.c_str());
    };
    MakeSplitFolder(folder);
    const SplitOutcome outcome = SplitCues(cues, folder, format, parsed.Has("--force"),
                                           ExportStyleOf(!parsed.Has("--raw")), steps);
    std::fprintf(stderr, "slicewell-cli: %d of %d cues written to %s\n", outcome.written, count,
                 folder.c_str());
    if (outcome.status != kStatusOk) {
        if (outcome.stopped) {
            std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(kStatusAborted).c_str());
        }
        return outcome.status;
    }
    // The pieces of what could be imported are written; what could not still fails the command.
    return imported.AllAdded() ? 0 : ImportExitStatus(imported);
}

}  // namespace sw::cli
