#include <algorithm>
#include <cstdio>

#include "cli_error.h"
#include "commands.h"
#include "engine/export.h"
#include "engine/worker_control.h"
#include "export_target.h"
#include "frame_range.h"
#include "json_writer.h"
#include "options.h"
#include "progress.h"
#include "sources.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli export SOURCE TARGET [--range FIRST-LAST] [--json]\n"
    "\n"
    "Copies frames of SOURCE byte for byte into TARGET: all of them, or frames FIRST to LAST\n"
    "(inclusive, counted from 0). A TARGET whose extension starts with \"wav\" (any case) gets\n"
    "the frames behind a 70-byte WAV header; a TARGET ending in .m3i receives SOURCE's index\n"
    "file instead; any other name gets plain MPEG audio. SOURCE's index file beside it is used\n"
    "when it matches SOURCE; otherwise SOURCE is scanned in memory.\n"
    "\n"
    "  --range FIRST-LAST  export only these frames, cut to the file as marks are\n"
    "  --json              print one JSON object instead of the summary\n";

}  // namespace

int RunExport(const Arguments& args) {
    const ParsedArguments parsed =
        ParseArguments(args, {{"--range", true}, {"--json", false}}, 2, 2);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& sourceName = parsed.positional[0];
    const std::string& targetName = parsed.positional[1];
    CheckExportTarget(targetName);
    const bool indexTarget = FileKind(targetName) == "m3i";
    if (indexTarget && parsed.Has("--range")) {
        throw UsageError("an index file holds the whole source; --range does not apply");
    }
    const auto rangeText = parsed.Value("--range");
    const FrameRange requested = rangeText ? ParseFrameRange(*rangeText) : FrameRange{};
    CheckAudioKind(sourceName);

    LoadedSource source = OpenSource(sourceName);
    if (source.status != kStatusOk) {
        // Exporting what a failed or interrupted scan found would give a file that silently
        // ends early.
        std::fprintf(stderr, "slicewell-cli: scanning %s: %s\n", sourceName.c_str(),
                     StatusText(source.status).c_str());
        return source.status;
    }
    TCutObject& cut = *source.cut;
    if (indexTarget) {
        const int status = SaveCutObject(&cut, targetName);
        if (parsed.Has("--json")) {
            JsonObject json;
            json.Add("source", cut.FileName);
            json.Add("target", AbsolutePath(targetName));
            json.Add("frames", cut.FrameCount());
            json.Add("status", status);
            json.Add("status_text", StatusText(status));
            std::printf("%s\n", json.Text().c_str());
        } else {
            std::printf("Saved the index of %d frames to %s\n", cut.FrameCount(),
                        targetName.c_str());
        }
        return status;
    }
    // Marks are applied as the export engine applies them: cut to the file, and a range with
    // nothing left in it copies nothing and is no error. Saying so keeps a mistyped range from
    // going unnoticed.
    const int32_t frames = cut.FrameCount();
    const FrameRange range =
        ClampFrameRange(rangeText ? requested : FrameRange{0, frames - 1}, frames);
    if (frames == 0) {
        std::fprintf(stderr, "slicewell-cli: warning: %s holds no MPEG audio frames\n",
                     sourceName.c_str());
    } else if (range.first > range.last) {
        std::fprintf(stderr,
                     "slicewell-cli: warning: the range %d-%d holds none of the frames 0-%d\n",
                     requested.first, requested.last, frames - 1);
    } else if (rangeText && (range.first != requested.first || range.last != requested.last)) {
        std::fprintf(stderr,
                     "slicewell-cli: warning: the range %d-%d reaches past the last frame; "
                     "frames %d-%d are exported\n",
                     requested.first, requested.last, range.first, range.last);
    }

    const bool wave = IsWaveTarget(targetName);
    std::unique_ptr<ByteStream> target = CreateExportTarget(targetName);
    WorkerControl control;
    const ExportOutcome outcome = RunWithProgress(
        "Exporting", std::max<int64_t>(int64_t{range.last} - range.first + 1, 1), control, [&] {
            return ExportCutObjectFrames(*target, wave, cut, range.first, range.last, control);
        });
    const int64_t bytes = target->Size();
    FinishTarget(target);

    int status = outcome.status;
    if (outcome.waveHeaderFailed) {
        std::fprintf(stderr, "slicewell-cli: Unable to write wave-header\n");
        if (status == kStatusOk) {
            status = kStatusFailed;
        }
    }
    if (parsed.Has("--json")) {
        JsonObject json;
        json.Add("source", cut.FileName);
        json.Add("target", AbsolutePath(targetName));
        json.Add("wave", wave);
        json.Add("first", range.first);
        json.Add("last", range.last);
        json.Add("frames", outcome.framesCopied);
        json.Add("bytes", bytes);
        json.Add("from_index", source.fromIndex);
        json.Add("status", status);
        json.Add("status_text", StatusText(status));
        std::printf("%s\n", json.Text().c_str());
    } else {
        if (range.first > range.last) {
            std::printf("Exported no frames (%lld bytes) to %s\n", static_cast<long long>(bytes),
                        targetName.c_str());
        } else {
            std::printf("Exported frames %d-%d (%d frames, %lld bytes) to %s\n", range.first,
                        range.last, outcome.framesCopied, static_cast<long long>(bytes),
                        targetName.c_str());
        }
    }
    if (status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(status).c_str());
    }
    return status;
}

}  // namespace sw::cli
