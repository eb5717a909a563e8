#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "cli_error.h"
#include "commands.h"
#include "engine/export.h"
#include "engine/scan_export.h"
#include "engine/worker_control.h"
#include "export_target.h"
#include "frame_range.h"
#include "json_writer.h"
#include "options.h"
#include "progress.h"
#include "sources.h"
#include "stream/file_names.h"
#include "stream/replacement_file.h"
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

// Names what the export does not copy although it was asked to: a file without frames, a range
// that misses the file, a range cut to the file's end.
void WarnAboutRange(const std::string& sourceName, const FrameRange* requested,
                    const FrameRange& range, int32_t frames) {
    if (frames == 0) {
        std::fprintf(stderr, "slicewell-cli: warning: %s holds no MPEG audio frames\n",
                     sourceName.c_str());
    } else if (range.first > range.last) {
        std::fprintf(stderr,
                     "slicewell-cli: warning: the range %d-%d holds none of the frames 0-%d\n",
                     requested->first, requested->last, frames - 1);
    } else if (requested != nullptr &&
               (range.first != requested->first || range.last != requested->last)) {
        std::fprintf(stderr,
                     "slicewell-cli: warning: the range %d-%d reaches past the last frame; "
                     "frames %d-%d are exported\n",
                     requested->first, requested->last, range.first, range.last);
    }
}

struct ExportReport {
    std::string source;
    std::string target;
    bool wave = false;
    FrameRange range;
    ExportOutcome outcome;
    int64_t bytes = 0;
    bool fromIndex = false;
};

int Report(const ExportReport& report, bool json) {
    int status = report.outcome.status;
    if (report.outcome.waveHeaderFailed) {
        std::fprintf(stderr, "slicewell-cli: Unable to write wave-header\n");
        if (status == kStatusOk) {
            status = kStatusFailed;
        }
    }
    if (json) {
        JsonObject object;
        object.Add("source", report.source);
        object.Add("target", AbsolutePath(report.target));
        object.Add("wave", report.wave);
        object.Add("first", report.range.first);
        object.Add("last", report.range.last);
        object.Add("frames", report.outcome.framesCopied);
        object.Add("bytes", report.bytes);
        object.Add("from_index", report.fromIndex);
        object.Add("status", status);
        object.Add("status_text", StatusText(status));
        std::printf("%s\n", object.Text().c_str());
    } else if (report.range.first > report.range.last) {
        std::printf("Exported no frames (%lld bytes) to %s\n", static_cast<long long>(report.bytes),
                    report.target.c_str());
    } else {
        std::printf("Exported frames %d-%d (%d frames, %lld bytes) to %s\n", report.range.first,
                    report.range.last, report.outcome.framesCopied,
                    static_cast<long long>(report.bytes), report.target.c_str());
    }
    if (status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(status).c_str());
    }
    return status;
}

int ScanFailed(const std::string& sourceName, int status) {
    // Exporting what a failed or interrupted scan found would give a file that silently ends
    // early.
    std::fprintf(stderr, "slicewell-cli: scanning %s: %s\n", sourceName.c_str(),
                 StatusText(status).c_str());
    return status;
}

int SaveIndexTarget(TCutObject& cut, const std::string& targetName, bool json) {
    const int status = SaveCutObject(&cut, targetName);
    if (json) {
        JsonObject object;
        object.Add("source", cut.FileName);
        object.Add("target", AbsolutePath(targetName));
        object.Add("frames", cut.FrameCount());
        object.Add("status", status);
        object.Add("status_text", StatusText(status));
        std::printf("%s\n", object.Text().c_str());
    } else {
        std::printf("Saved the index of %d frames to %s\n", cut.FrameCount(), targetName.c_str());
    }
    return status;
}

// The whole of a source without an index: scanned and copied at the same time.
int ExportAllWhileScanning(const std::string& sourceName, const std::string& targetName,
                           bool json) {
    CutObjectPtr cut = CreateSource(sourceName);
    ExportReport report;
    report.source = cut->FileName;
    report.target = targetName;
    report.wave = IsWaveTarget(targetName);
    WorkerControl control;
    const ScanExportOutcome outcome =
        RunWithProgress("Exporting", cut->FileStream ? cut->FileStream->Size() : 0, control,
                        [&] { return ScanAndExportAll(*cut, targetName, report.wave, control); });
    if (outcome.scanStatus != kStatusOk) {
        return ScanFailed(sourceName, outcome.scanStatus);
    }
    const int32_t frames = cut->FrameCount();
    report.range = FrameRange{0, frames - 1};
    WarnAboutRange(sourceName, nullptr, report.range, frames);
    report.outcome = outcome.exported;
    struct stat st {};
    report.bytes = ::stat(targetName.c_str(), &st) == 0 ? int64_t(st.st_size) : 0;
    return Report(report, json);
}

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
    const bool json = parsed.Has("--json");

    LoadedSource source;
    source.cut = LoadIndexedSource(sourceName);
    source.fromIndex = source.cut != nullptr;
    if (!source.cut) {
        if (!indexTarget && !rangeText && CanReplaceByRename(targetName)) {
            return ExportAllWhileScanning(sourceName, targetName, json);
        }
        source = ScanSource(sourceName);
        if (source.status != kStatusOk) {
            return ScanFailed(sourceName, source.status);
        }
    }
    TCutObject& cut = *source.cut;
    if (indexTarget) {
        return SaveIndexTarget(cut, targetName, json);
    }
    // Marks are applied as the export engine applies them: cut to the file, and a range with
    // nothing left in it copies nothing and is no error. Saying so keeps a mistyped range from
    // going unnoticed.
    const int32_t frames = cut.FrameCount();
    ExportReport report;
    report.source = cut.FileName;
    report.target = targetName;
    report.wave = IsWaveTarget(targetName);
    report.fromIndex = source.fromIndex;
    report.range = ClampFrameRange(rangeText ? requested : FrameRange{0, frames - 1}, frames);
    WarnAboutRange(sourceName, rangeText ? &requested : nullptr, report.range, frames);

    std::unique_ptr<ByteStream> target = CreateExportTarget(targetName);
    WorkerControl control;
    const FrameRange range = report.range;
    report.outcome = RunWithProgress(
        "Exporting", std::max<int64_t>(int64_t{range.last} - range.first + 1, 1), control, [&] {
            return ExportCutObjectFrames(*target, report.wave, cut, range.first, range.last,
                                         control);
        });
    report.bytes = target->Size();
    FinishTarget(target);
    return Report(report, json);
}

}  // namespace sw::cli
