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

int ExportThroughRename(const std::string& target, TCutObject& cut, FrameSpan span,
                        ExportStyle style, const std::string& label) {
    if (IsHeldSource(target)) {
        throw FileCreateError(target);
    }
    ReplacementFile replacement(target);
    ExportOutcome outcome;
    {
        FileStream stream(replacement.TempName(), FileMode::OpenReadWrite);
        WorkerControl control;
        outcome = RunWithProgress(label, std::max<int64_t>(int64_t{span.last} - span.first + 1, 1),
                                  control, [&] {
                                      return ExportCutObjectFrames(stream, IsWaveTarget(target),
                                                                   cut, span, style, control);
                                  });
        for (const std::string& note : outcome.notes) {
            std::fprintf(stderr, "slicewell-cli: %s\n", note.c_str());
        }
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

int SplitExporter::ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                               ExportStyle style) {
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
    if (CanReplaceByRename(target)) {
        return ExportThroughRename(target, cut, span, style, label_);
    }
    CliFrontEnd frontEnd;
    return ExportCutObjectRange(cut, span, target, style, frontEnd).status;
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
                       bool overwrite, ExportStyle style) {
    std::vector<BatchItem> items;
    for (int row = 0; row < cues.Count(); ++row) {
        const TCueObject& cue = *cues.At(row);
        items.push_back(BatchItem{cue.CutObject,
                                  FrameSpan{cue.MarkIn, cue.MarkOut},
                                  cues.FolderExportName(row, folder, extension),
                                  cue.Name,
                                  {}});
    }
    SplitPolicy policy(overwrite);
    SplitExporter exporter;
    LabelledExporter labelled(exporter, cues.Count());
    const BatchOutcome batch =
        ExportBatch(items, policy, labelled, style, [](const BatchFailure& failure) {
            if (!failure.error.empty()) {
                std::fprintf(stderr, "slicewell-cli: %s\n", failure.error.c_str());
            } else if (failure.status != kStatusAborted) {
                std::fprintf(stderr, "slicewell-cli: %s was not written: %s\n",
                             failure.target.c_str(), StatusText(failure.status).c_str());
            }
        });
    SplitOutcome outcome;
    outcome.written = batch.written;
    outcome.skipped = batch.skipped;
    outcome.stopped = batch.stopped;
    for (const BatchFailure& failure : batch.failures) {
        if (failure.status == kStatusAborted) {
            continue;
        }
        ++outcome.failed;
        if (outcome.status == 0) {
            outcome.status = failure.status;
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
