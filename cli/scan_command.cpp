#include <sys/stat.h>

#include <cstdio>

#include "cli_error.h"
#include "commands.h"
#include "json_writer.h"
#include "options.h"
#include "project/index_beside.h"
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

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

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
    // An aborted scan's index is saved as the program saves it: marked incomplete, so that
    // nothing takes it for the whole file. A failed scan's partial index is not worth keeping.
    const bool save =
        !indexName.empty() && (source.status == kStatusOk || source.status == kStatusAborted);
    if (save) {
        SaveCutObject(&cut, indexName);
    }

    if (parsed.Has("--json")) {
        JsonObject json;
        AddScanSummary(json, cut, source.status);
        if (save) {
            json.Add("index_file", AbsolutePath(indexName));
        } else {
            json.AddNull("index_file");
        }
        std::printf("%s\n", json.Text().c_str());
    } else {
        std::fputs(ScanSummaryText(cut, source.status).c_str(), stdout);
        if (save) {
            std::printf("Index: %s\n", AbsolutePath(indexName).c_str());
        }
    }
    if (source.status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(source.status).c_str());
    }
    return source.status;
}

}  // namespace sw::cli
