#include <cstdio>

#include "cli_error.h"
#include "commands.h"
#include "engine/export_targets.h"
#include "export_target.h"
#include "json_writer.h"
#include "options.h"
#include "progress.h"
#include "project/project_export.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli export-project PROJECT.m3p TARGET [--strict] [--raw] [--json]\n"
    "\n"
    "Exports the cues of a project, in the project's order, into one file: plain MPEG audio, or\n"
    "WAV when TARGET's extension starts with \"wav\". The project's export flags decide whether\n"
    "its ID3v1.1 tag is appended and its private/copyright/original bits are stamped into every\n"
    "frame. Each source's index file beside it is used when it matches; otherwise the source\n"
    "is scanned in memory. Relative source names are taken from the project's folder. Cues\n"
    "whose source is missing or cannot be scanned are skipped with a warning.\n"
    "\n"
    "The export is clean (see export --help): the first cue gets the header frame and its\n"
    "lead-in, and where two cues meet, the frame before the join carries the bit reservoir the\n"
    "frames after it need (its bitrate raised when it has no room). Cues whose streams differ in\n"
    "MPEG version, layer, sample rate or channel mode are joined as they are, with a warning:\n"
    "players misread such a file.\n"
    "\n"
    "  --strict  exit with status 1 when a cue was skipped or could not be read (the export is\n"
    "            still written)\n"
    "  --raw     copy the frames byte for byte, nothing added or left out\n"
    "  --json    print one JSON object instead of the summary\n";

}  // namespace

int RunExportProject(const Arguments& args) {
    const ParsedArguments parsed =
        ParseArguments(args, {{"--strict", false}, {"--raw", false}, {"--json", false}}, 2, 2);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& projectName = parsed.positional[0];
    const std::string& targetName = parsed.positional[1];
    if (ExportTargetKindOf(targetName) == ExportTargetKind::IndexFile) {
        throw UsageError("an index file holds one source; choose an .mp3 or .wav target");
    }
    CheckExportTarget(targetName, projectName);

    CliFrontEnd frontEnd;
    const ProjectExportResult result =
        ExportProjectFile(projectName, targetName, CliCutObjectOptions(),
                          ExportStyleOf(!parsed.Has("--raw")), frontEnd);

    int status = result.outcome.status;
    if (result.outcome.waveHeaderFailed) {
        std::fprintf(stderr, "slicewell-cli: Unable to write wave-header\n");
        if (status == kStatusOk) {
            status = kStatusFailed;
        }
    }
    if (parsed.Has("--json")) {
        JsonObject json;
        json.Add("project", result.project);
        json.Add("target", AbsolutePath(targetName));
        json.Add("wave", IsWaveTarget(targetName));
        json.Add("cues", result.cues);
        json.Add("skipped_cues", result.skipped);
        json.Add("unread_cues", result.unreadCues);
        json.Add("frames", result.outcome.framesCopied);
        json.Add("bytes", result.bytes);
        AddExportStatus(json, status, result.outcome);
        std::printf("%s\n", json.Text().c_str());
    } else if (status == kStatusOk) {
        std::printf("Exported %d cues (%d frames, %lld bytes) to %s\n", result.cues,
                    result.outcome.framesCopied, static_cast<long long>(result.bytes),
                    targetName.c_str());
    }
    if (status != kStatusOk) {
        ReportUnfinishedExport(targetName, status, result.outcome, result.bytes,
                               "of " + std::to_string(result.cues) + " cues");
        return status;
    }
    if (result.skipped > 0) {
        std::fprintf(stderr, "slicewell-cli: %d of %d cues skipped\n", result.skipped,
                     result.storedCues);
    }
    return parsed.Has("--strict") && (result.skipped > 0 || result.unreadCues > 0)
               ? int{kStatusFailed}
               : status;
}

}  // namespace sw::cli
