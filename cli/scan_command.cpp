#include <cstdio>

#include "cli_error.h"
#include "commands.h"
#include "engine/export_targets.h"
#include "json_writer.h"
#include "options.h"
#include "project/index_beside.h"
#include "project/index_save_rule.h"
#include "sources.h"
#include "stream/file_names.h"
#include "stream/status.h"
#include "summary.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli scan FILE [--index OUT.m3i] [--no-index] [--json]\n"
    "\n"
    "Scans FILE (MPEG audio, or a WAV file holding MPEG Layer-3 frames) into its frame index\n"
    "and writes the index file beside it (FILE with the extension .m3i), where the program's\n"
    "import finds it.\n"
    "\n"
    "  --index OUT.m3i  write the index file to OUT.m3i instead\n"
    "  --no-index       write no index file\n"
    "  --json           print one JSON object instead of the summary\n";

}  // namespace

int RunScan(const Arguments& args) {
    const ParsedArguments parsed =
        ParseArguments(args, {{"--index", true}, {"--no-index", false}, {"--json", false}}, 1, 1);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (parsed.Has("--index") && parsed.Has("--no-index")) {
        throw UsageError("--index and --no-index exclude each other");
    }
    const std::string& fileName = parsed.positional[0];
    std::string indexName;
    if (!parsed.Has("--no-index")) {
        indexName = parsed.Value("--index").value_or(IndexFileBeside(AbsolutePath(fileName)));
        if (indexName.empty()) {
            throw UsageError("--index needs a file name");
        }
        // The index is saved through a rename, which would replace the audio file itself.
        if (SameFile(indexName, fileName)) {
            throw UsageError("the index file cannot be the scanned file itself");
        }
    }
    CheckAudioKind(fileName);

    LoadedSource source = ScanSource(fileName);
    TCutObject& cut = *source.cut;
    // The program's own rule for the index after a scan; an index the user named is written
    // whatever the source's attributes.
    const IndexSaveOutcome saved = SaveIndexAfterScan(
        cut, source.status,
        IndexSaveRequest{!parsed.Has("--no-index"), parsed.Value("--index").value_or("")});

    if (parsed.Has("--json")) {
        JsonObject json;
        AddScanSummary(json, cut, source.status);
        if (!saved.fileName.empty()) {
            json.Add("index_file", AbsolutePath(saved.fileName));
        } else {
            json.AddNull("index_file");
        }
        if (!saved.failure.empty()) {
            json.Add("index_error", saved.failure);
        }
        std::printf("%s\n", json.Text().c_str());
    } else {
        std::fputs(ScanSummaryText(cut, source.status).c_str(), stdout);
        if (!saved.fileName.empty()) {
            std::printf("Index: %s\n", AbsolutePath(saved.fileName).c_str());
        }
    }
    if (!saved.failure.empty()) {
        std::fprintf(stderr, "slicewell-cli: warning: the index file was not saved: %s\n",
                     saved.failure.c_str());
    } else if (saved.readOnlySource) {
        std::fprintf(stderr,
                     "slicewell-cli: warning: %s is read-only; no index file was saved beside "
                     "it\n",
                     fileName.c_str());
    }
    if (source.status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(source.status).c_str());
        return source.status;
    }
    // An index the user named that could not be written fails the command; the one beside the
    // source is a convenience of later runs, and its loss only a warning.
    return !saved.failure.empty() && parsed.Has("--index") ? int{kStatusFailed} : source.status;
}

}  // namespace sw::cli
