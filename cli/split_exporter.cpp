#include "split_exporter.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli_error.h"
#include "engine/export.h"
#include "engine/export_planning.h"
#include "engine/export_targets.h"
#include "progress.h"
#include "project/cue_file.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/regular_file.h"
#include "stream/replacement_file.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

int ExportThroughRename(const std::string& target, TCutObject& cut, int32_t first, int32_t last,
                        const std::string& label) {
    if (IsHeldSource(target)) {
        throw FileCreateError(target);
    }
    ReplacementFile replacement(target);
    ExportOutcome outcome;
    {
        FileStream stream(replacement.TempName(), FileMode::OpenReadWrite);
        WorkerControl control;
        outcome =
            RunWithProgress(label, std::max<int64_t>(int64_t{last} - first + 1, 1), control, [&] {
                return ExportCutObjectFrames(stream, IsWaveTarget(target), cut, first, last,
                                             control);
            });
        if (outcome.status == kStatusOk && !outcome.waveHeaderFailed) {
            stream.Flush();
        }
    }
    if (outcome.waveHeaderFailed) {
        std::fprintf(stderr, "slicewell-cli: Unable to write wave-header\n");
        return kStatusFailed;
    }
    if (outcome.status == kStatusOk) {
        replacement.Replace(ReplacementFile::Commit::Fast);
        RemoveIndexDescribing(target);
    }
    return outcome.status;  // anything else: the temporary file goes with replacement
}

}  // namespace

int SplitExporter::ExportCutObject(const std::string& target, TCutObject& cut, bool useMarks) {
    if (StopRequested()) {
        return kStatusAborted;
    }
    if (target.empty() || !cut.FileStream || !cut.IndexStream) {
        return kStatusFailed;
    }
    const std::string problem = AudioTargetProblem(target);
    if (!problem.empty()) {
        throw CommandError(kStatusFailed, problem);
    }
    // A pipe or device in the file's place (a link to one included) would take the frames
    // somewhere nobody sees them, or make the export wait for a reader.
    const ReadOpenResult probe = ProbeRegularFile(target);
    if (probe == ReadOpenResult::Folder || probe == ReadOpenResult::NotRegular) {
        throw CommandError(kStatusFailed, ReadOpenFailureText(probe, target));
    }
    const int32_t first = useMarks ? cut.MarkIn : 0;
    const int32_t last = useMarks ? cut.MarkOut : cut.FrameCount() - 1;
    if (CanReplaceByRename(target)) {
        return ExportThroughRename(target, cut, first, last, label_);
    }
    CliFrontEnd frontEnd;
    return ExportCutObjectRange(cut, target, first, last, frontEnd).status;
}

SplitOutcome SplitCues(CueListModel& cues, const std::string& folder, const std::string& extension,
                       bool overwrite, const SplitSteps& steps) {
    SplitOutcome outcome;
    SplitExporter exporter;
    std::set<std::string> taken;
    const int count = cues.Count();
    for (int row = 0; row < count; ++row) {
        if (StopRequested()) {
            outcome.stopped = true;
            break;
        }
        TCueObject& cue = *cues.At(row);
        const std::string target =
            steps.target ? steps.target(row) : cues.FolderExportName(row, folder, extension);
        if (!taken.insert(target).second) {
            std::fprintf(stderr, "slicewell-cli: %s: an earlier cue was written to %s; skipped\n",
                         cue.Name.c_str(), target.c_str());
            ++outcome.skipped;
            continue;
        }
        if (!overwrite && FileExists(target)) {
            std::fprintf(stderr, "slicewell-cli: %s exists; not replaced (--force replaces it)\n",
                         target.c_str());
            ++outcome.skipped;
            continue;
        }
        int status;
        try {
            if (extension == "m3q") {
                status = SaveCueFile(&cue, target) ? kStatusOk : kStatusFailed;
            } else {
                // The export takes the range from the cut object's marks; nothing else uses the
                // cut object meanwhile.
                TCutObject& cut = *cue.CutObject;
                cut.MarkIn = cue.MarkIn;
                cut.MarkOut = cue.MarkOut;
                exporter.SetLabel("Cue " + std::to_string(row + 1) + " of " +
                                  std::to_string(count));
                status = exporter.ExportCutObject(target, cut, true);
            }
            if (status == kStatusOk && steps.written) {
                steps.written(target, row);
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "slicewell-cli: %s\n", error.what());
            status = kStatusFailed;
        }
        if (status == kStatusOk) {
            ++outcome.written;
        } else if (status == kStatusAborted) {
            outcome.stopped = true;
            break;
        } else {
            std::fprintf(stderr, "slicewell-cli: %s was not written: %s\n", target.c_str(),
                         StatusText(status).c_str());
            ++outcome.failed;
            if (outcome.status == 0) {
                outcome.status = status;
            }
        }
    }
    if (outcome.stopped) {
        outcome.status = kStatusAborted;
    } else if (outcome.status == 0 && outcome.skipped > 0) {
        outcome.status = kStatusFailed;
    }
    return outcome;
}

void PrepareSplitFolder(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            throw CommandError(kStatusFailed,
                               "cannot make the folder " + folder + ": " + error.message());
        }
    }
    if (!std::filesystem::is_directory(folder, error)) {
        throw CommandError(kStatusFailed, folder + " is not a folder");
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        throw CommandError(kStatusFailed, "cannot write files into the folder " + folder);
    }
}

}  // namespace sw::cli
