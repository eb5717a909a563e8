#include "split_exporter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli_error.h"
#include "engine/export.h"
#include "engine/export_target_file.h"
#include "progress.h"
#include "project/cue_file.h"
#include "stream/document_file.h"
#include "stream/file_names.h"
#include "stream/regular_file.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

// Where a symbolic link in the split folder leads when that is out of the folder (or nowhere: a
// loop), or "" when the name is no link or one that stays in the folder. Written through, such a
// link would let whoever planted it in the folder choose a file anywhere for --force to replace.
std::string LinkOutOf(const std::string& folder, const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return "";
    }
    const std::string linked = LinkedFile(target);
    if (linked.empty()) {
        return "a loop of links";
    }
    const std::string leadsInto = ExtractFilePath(linked);
    std::error_code error;
    return std::filesystem::equivalent(folder, leadsInto.empty() ? "." : leadsInto, error) ? ""
                                                                                           : linked;
}

}  // namespace

int SplitExporter::ExportCutObject(const std::string& target, TCutObject& cut, bool useMarks) {
    lastFailure_.clear();
    if (StopRequested()) {
        return kStatusAborted;
    }
    if (target.empty() || !cut.FileStream || !cut.IndexStream) {
        return kStatusFailed;
    }
    // A pipe or device in the file's place (a link to one included) would take the frames
    // somewhere nobody sees them, or make the export wait for a reader.
    const ReadOpenResult probe = ProbeRegularFile(target);
    if (probe == ReadOpenResult::Folder || probe == ReadOpenResult::NotRegular) {
        throw CommandError(kStatusFailed, ReadOpenFailureText(probe, target));
    }
    const int32_t first = useMarks ? cut.MarkIn : 0;
    const int32_t last = useMarks ? cut.MarkOut : cut.FrameCount() - 1;
    ExportTargetFile file(target);
    WorkerControl control;
    ExportOutcome outcome =
        RunWithProgress(label_, std::max<int64_t>(int64_t{last} - first + 1, 1), control, [&] {
            return ExportCutObjectFrames(file.Stream(), IsWaveTarget(target), cut, first, last,
                                         control);
        });
    // A stopped split drops the cue it was writing: a second run then writes exactly the
    // missing ones.
    file.Finish(outcome, /*keepAborted=*/false);
    if (outcome.waveHeaderFailed) {
        std::fprintf(stderr, "slicewell-cli: Unable to write wave-header\n");
    }
    lastFailure_ = outcome.failure;
    return outcome.status;
}

SplitOutcome SplitCues(CueListModel& cues, const std::string& folder, const std::string& extension,
                       bool overwrite) {
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
        const std::string target = cues.FolderExportName(row, folder, extension);
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
        const std::string outside = LinkOutOf(folder, target);
        if (!outside.empty()) {
            std::fprintf(stderr,
                         "slicewell-cli: %s is a symbolic link to %s, out of %s; a split never "
                         "writes through one\n",
                         target.c_str(), outside.c_str(), folder.c_str());
            ++outcome.failed;
            outcome.status = kStatusFailed;
            continue;
        }
        int status;
        std::string failure;
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
                failure = exporter.LastFailure();
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
                         failure.empty() ? StatusText(status).c_str() : failure.c_str());
            ++outcome.failed;
            outcome.status = kStatusFailed;
        }
    }
    if (outcome.stopped) {
        outcome.status = kStatusAborted;
    } else if (outcome.status == 0 && outcome.skipped > 0) {
        outcome.status = kStatusFailed;
    }
    return outcome;
}

void CheckSplitFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    // The nearest folder on the way that exists decides whether the rest can be made.
    fs::path existing = fs::path(folder);
    while (!existing.empty() && !fs::exists(fs::symlink_status(existing, error)) &&
           existing.has_parent_path() && existing.parent_path() != existing) {
        existing = existing.parent_path();
    }
    if (!fs::exists(fs::symlink_status(existing, error))) {
        existing = ".";
    }
    const std::string found = existing.string();
    if (!fs::is_directory(existing, error)) {
        throw CommandError(kStatusFailed, found == folder ? folder + " is not a folder"
                                                          : "cannot make the folder " + folder +
                                                                ": " + found + " is not a folder");
    }
    if (::access(found.c_str(), W_OK | X_OK) != 0) {
        throw CommandError(kStatusFailed, found == folder
                                              ? "cannot write files into the folder " + folder
                                              : "cannot make the folder " + folder + ": " + found +
                                                    " takes no new folders");
    }
}

void MakeSplitFolder(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            throw CommandError(kStatusFailed,
                               "cannot make the folder " + folder + ": " + error.message());
        }
    }
    CheckSplitFolder(folder);
}

}  // namespace sw::cli
