#include <cstdio>

#include "cli_error.h"
#include "commands.h"
#include "cue_export.h"
#include "export_target.h"
#include "frame_range.h"
#include "json_writer.h"
#include "options.h"
#include "progress.h"
#include "project/export_planning.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli export SOURCE TARGET [--range FIRST-LAST] [--name NAME] [--raw]\n"
    "           [--json]\n"
    "\n"
    "Copies frames of SOURCE into TARGET without decoding them: all of them, or frames FIRST to\n"
    "LAST (inclusive, counted from 0). A TARGET whose extension starts with \"wav\" (any case)\n"
    "gets the frames behind a 70-byte WAV header; a TARGET ending in .m3i receives SOURCE's\n"
    "index file instead, one ending in .m3q a cue file of the range (named after SOURCE, or\n"
    "NAME); any other name gets MPEG audio. SOURCE's index file beside it is used when it\n"
    "matches SOURCE; otherwise SOURCE is scanned in memory.\n"
    "\n"
    "The cut is clean: an MP3 piece of Layer III starts with a header frame that gives its true\n"
    "length and gapless values, and with the frames before the range that its first frames need\n"
    "to decode (not heard), so it plays exactly the frames of the range; SOURCE's own Info\n"
    "frame is never copied as audio; a WAV file gives its frames' true sample count.\n"
    "\n"
    "  --range FIRST-LAST  export only these frames, cut to the file as marks are\n"
    "  --name NAME         the cue's name in a .m3q TARGET\n"
    "  --raw               copy the frames byte for byte, nothing added or left out\n"
    "  --json              print one JSON object instead of the summary\n";

// The object --json prints whatever the outcome. status: the command's; a scan that did not
// complete exported nothing and knows no range (first and last are null then).
void PrintJson(const SourceExportResult& result, const std::string& targetName, int status) {
    const bool scanned = result.scanStatus == kStatusOk;
    JsonObject object;
    object.Add("source", result.source);
    object.Add("target", AbsolutePath(targetName));
    object.Add("wave", result.kind == ExportTargetKind::Wave);
    if (scanned) {
        object.Add("first", result.range.first);
        object.Add("last", result.range.last);
    } else {
        object.AddNull("first");
        object.AddNull("last");
    }
    object.Add("frames", scanned ? result.outcome.framesCopied : 0);
    object.Add("bytes", result.bytes);
    object.Add("from_index", result.fromIndex);
    AddExportStatus(object, status, result.outcome);
    std::printf("%s\n", object.Text().c_str());
}

// The summary goes to stdout only for an export that did what it said; what a failed or
// stopped one left behind is told on stderr with the reason.
int Report(const SourceExportResult& result, const std::string& targetName, bool json) {
    int status = result.outcome.status;
    if (result.outcome.waveHeaderFailed) {
        std::fprintf(stderr, "slicewell-cli: Unable to write wave-header\n");
        if (status == kStatusOk) {
            status = kStatusFailed;
        }
    }
    if (json) {
        PrintJson(result, targetName, status);
    } else if (status == kStatusOk && result.range.first > result.range.last) {
        std::printf("Exported no frames (%lld bytes) to %s\n", static_cast<long long>(result.bytes),
                    targetName.c_str());
    } else if (status == kStatusOk) {
        std::printf("Exported frames %d-%d (%d frames, %lld bytes) to %s\n", result.range.first,
                    result.range.last, result.outcome.framesCopied,
                    static_cast<long long>(result.bytes), targetName.c_str());
    }
    if (status != kStatusOk) {
        ReportUnfinishedExport(targetName, status, result.outcome, result.bytes,
                               "of frames " + std::to_string(result.range.first) + "-" +
                                   std::to_string(result.range.last));
    }
    return status;
}

int ReportIndexSaved(const SourceExportResult& result, const std::string& targetName, bool json) {
    const int status = result.outcome.status;
    if (json) {
        JsonObject object;
        object.Add("source", result.source);
        object.Add("target", AbsolutePath(targetName));
        object.Add("frames", result.frames);
        object.Add("status", status);
        object.Add("status_text", StatusText(status));
        std::printf("%s\n", object.Text().c_str());
    } else {
        std::printf("Saved the index of %d frames to %s\n", result.frames, targetName.c_str());
    }
    return status;
}

}  // namespace

int RunExport(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(
        args, {{"--range", true}, {"--name", true}, {"--raw", false}, {"--json", false}}, 2, 2);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& sourceName = parsed.positional[0];
    const std::string& targetName = parsed.positional[1];
    const ExportTargetKind kind = ExportTargetKindOf(targetName);
    if (kind == ExportTargetKind::CueFile) {
        const auto range = parsed.Value("--range");
        return ExportCueFile(sourceName, targetName,
                             range ? std::optional(ParseFrameRange(*range)) : std::nullopt,
                             parsed.Value("--name"), parsed.Has("--json"));
    }
    if (parsed.Has("--name")) {
        throw UsageError("--name names the cue of a .m3q target");
    }
    const bool indexTarget = kind == ExportTargetKind::IndexFile;
    if (!indexTarget) {
        CheckExportTarget(targetName);
    } else if (parsed.Has("--range")) {
        throw UsageError("an index file holds the whole source; --range does not apply");
    }
    SourceExportRequest request{sourceName, targetName, std::nullopt,
                                ExportStyleOf(!parsed.Has("--raw"))};
    if (const auto rangeText = parsed.Value("--range")) {
        request.range = ParseFrameRange(*rangeText);
    }
    const bool json = parsed.Has("--json");

    CliFrontEnd frontEnd;
    const SourceExportResult result = ExportSourceFile(request, CliCutObjectOptions(), frontEnd);
    if (result.scanStatus != kStatusOk) {
        // Exporting what a failed or interrupted scan found would give a file that silently ends
        // early. A script still gets its JSON: nothing was exported, the target is as it was.
        if (json) {
            PrintJson(result, targetName, result.scanStatus);
        }
        std::fprintf(stderr, "slicewell-cli: scanning %s: %s\n", sourceName.c_str(),
                     StatusText(result.scanStatus).c_str());
        return result.scanStatus;
    }
    return indexTarget ? ReportIndexSaved(result, targetName, json)
                       : Report(result, targetName, json);
}

}  // namespace sw::cli
