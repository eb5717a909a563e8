#include "split_exporter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli_error.h"
#include "engine/export.h"
#include "engine/export_target_file.h"
#include "progress.h"
#include "project/batch_export.h"
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

int SplitExporter::ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                               ExportStyle style) {
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
    ExportTargetFile file(target);
    WorkerControl control;
    ExportOutcome outcome = RunWithProgress(
        label_, std::max<int64_t>(int64_t{span.last} - span.first + 1, 1), control, [&] {
            return ExportCutObjectFrames(file.Stream(), IsWaveTarget(target), cut, span, style,
                                         control);
        });
    for (const std::string& note : outcome.notes) {
        std::fprintf(stderr, "slicewell-cli: %s\n", note.c_str());
    }
    // A stopped split drops the cue it was writing: a second run then writes exactly the
    // missing ones.
    file.Finish(outcome, /*keepAborted=*/false);
    if (outcome.waveHeaderFailed) {
        std::fprintf(stderr, "slicewell-cli: Unable to write wave-header\n");
    }
    lastFailure_ = outcome.failure;
    return outcome.status;
}

namespace {

// The split's rule for a name that is taken: never one an earlier cue of this split wrote,
// an existing file only with --force; each refusal is said on stderr.
class SplitPolicy : public BatchPolicy {
  public:
    explicit SplitPolicy(bool overwrite) : overwrite_(overwrite) {}
    std::string ResolveExisting(const BatchItem& item, bool takenByBatch) override {
        if (takenByBatch) {
            std::fprintf(stderr, "slicewell-cli: %s: an earlier cue was written to %s; skipped\n",
                         item.name.c_str(), item.target.c_str());
            return "";
        }
        if (!overwrite_) {
            std::fprintf(stderr, "slicewell-cli: %s exists; not replaced (--force replaces it)\n",
                         item.target.c_str());
            return "";
        }
        return item.target;
    }
    bool StopRequested() override { return cli::StopRequested(); }

  private:
    bool overwrite_;
};

// Names each item on the progress bar as it starts.
class LabelledExporter : public CutExporter {
  public:
    LabelledExporter(SplitExporter& exporter, int count) : exporter_(exporter), count_(count) {}
    int ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                    ExportStyle style) override {
        exporter_.SetLabel("Cue " + std::to_string(++row_) + " of " + std::to_string(count_));
        return exporter_.ExportRange(target, cut, span, style);
    }

  private:
    SplitExporter& exporter_;
    int count_;
    int row_ = 0;
};

}  // namespace

SplitOutcome SplitCues(CueListModel& cues, const std::string& folder, const std::string& extension,
                       bool overwrite, ExportStyle style, const SplitSteps& steps) {
    SplitOutcome outcome;
    std::vector<BatchItem> items;
    for (int row = 0; row < cues.Count(); ++row) {
        const TCueObject& cue = *cues.At(row);
        const std::string target =
            steps.target ? steps.target(row) : cues.FolderExportName(row, folder, extension);
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
        std::function<bool(const std::string&)> finish;
        if (steps.written) {
            finish = [&steps, row](const std::string& written) {
                steps.written(written, row);
                return true;
            };
        }
        items.push_back(
            BatchItem{cue.CutObject, FrameSpan{cue.MarkIn, cue.MarkOut}, target, cue.Name, finish});
    }
    SplitPolicy policy(overwrite);
    SplitExporter exporter;
    LabelledExporter labelled(exporter, cues.Count());
    const BatchOutcome batch =
        ExportBatch(items, policy, labelled, style, [&](const BatchFailure& failure) {
            if (!failure.error.empty()) {
                std::fprintf(stderr, "slicewell-cli: %s\n", failure.error.c_str());
            } else if (failure.status != kStatusAborted) {
                const std::string why = exporter.LastFailure().empty() ? StatusText(failure.status)
                                                                       : exporter.LastFailure();
                std::fprintf(stderr, "slicewell-cli: %s was not written: %s\n",
                             failure.target.c_str(), why.c_str());
            }
        });
    outcome.written = batch.written;
    outcome.skipped = batch.skipped;
    outcome.stopped = batch.stopped;
    for (const BatchFailure& failure : batch.failures) {
        if (failure.status == kStatusAborted) {
            continue;
        }
        ++outcome.failed;
        outcome.status = kStatusFailed;
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
