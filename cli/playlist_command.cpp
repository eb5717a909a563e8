#include <cstdint>
#include <cstdio>

#include "cli_error.h"
#include "commands.h"
#include "document_session.h"
#include "options.h"
#include "stream/file_names.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli playlist OUT.m3u ITEM... [--no-index]\n"
    "\n"
    "Imports the ITEMs in order as files dropped on the project bin (MP3 and MPEG WAV files,\n"
    "index files, playlists, cue files, whose sources join the bin) and writes the bin as the\n"
    "program's \"Save bin\" does: an extended M3U playlist with CR LF line ends, each entry's\n"
    "play time in whole seconds and its name, then its file: the bare name for a file in\n"
    "OUT.m3u's folder, else the full path. An item that is missing or of another kind is\n"
    "reported and the import goes on; the exit status is 0 only when every item was added.\n"
    "OUT.m3u is replaced.\n"
    "\n"
    "  --no-index  write no index file beside a scanned source\n";

}  // namespace

int RunPlaylist(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(args, {{"--no-index", false}}, 2, SIZE_MAX);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    CheckDocumentTarget(parsed.positional[0], "m3u", "playlist");
    // The playlist's own folder decides which entries are written as bare names.
    const std::string target = AbsolutePath(parsed.positional[0]);

    DocumentSession session(!parsed.Has("--no-index"));
    const ImportOutcome outcome = session.Import(
        std::vector<std::string>(parsed.positional.begin() + 1, parsed.positional.end()));
    if (ReportStopped(outcome, parsed.positional[0])) {
        return 2;
    }
    session.Bin().SaveMP3List(target);
    std::printf("Saved %d files to %s\n", session.Bin().Count(), parsed.positional[0].c_str());
    return ImportedStatus(outcome, "playlist");
}

}  // namespace sw::cli
