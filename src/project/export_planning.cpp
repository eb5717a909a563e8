#include "project/export_planning.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>

#include "engine/export_target_file.h"
#include "engine/operation_error.h"
#include "engine/scan_export.h"
#include "project/source_opening.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw {

namespace {

void CheckTarget(const std::string& targetName, const std::string& projectFile = "") {
    const std::string problem = AudioTargetProblem(targetName, projectFile);
    if (!problem.empty()) {
        throw OperationError(kStatusFailed, problem);
    }
}

// Runs an export worker on the target's new file, then keeps or drops that file
// (ExportTargetFile::Finish). What the export noted is passed on.
ExportOutcome RunOnTarget(ExportTargetFile& target, const WorkerTask& task,
                          const std::function<ExportOutcome(ByteStream&, WorkerControl&)>& copy,
                          OperationFrontEnd& frontEnd, int64_t* bytes) {
    ExportOutcome outcome;
    const int status = frontEnd.Run(task, [&](WorkerControl& control) {
        outcome = copy(target.Stream(), control);
        return outcome.status;
    });
    if (status != outcome.status) {
        outcome.status = status;  // the worker never ran, or what it threw
    }
    for (const std::string& note : outcome.notes) {
        frontEnd.Note(note);
    }
    target.Finish(outcome);
    if (bytes != nullptr) {
        *bytes = target.TargetBytes();
    }
    return outcome;
}

// Names what a range does not copy although it was asked to: a file without frames, a range
// that misses the file, a range cut to the file's end.
void NoteRange(OperationFrontEnd& frontEnd, const std::string& sourceName,
               const std::optional<FrameSpan>& requested, const FrameSpan& range, int32_t frames) {
    if (frames == 0) {
        frontEnd.Note("warning: " + sourceName + " holds no MPEG audio frames");
    } else if (range.first > range.last) {
        frontEnd.Note("warning: the range " + std::to_string(requested->first) + "-" +
                      std::to_string(requested->last) + " holds none of the frames 0-" +
                      std::to_string(frames - 1));
    } else if (requested && (range.first != requested->first || range.last != requested->last)) {
        frontEnd.Note("warning: the range " + std::to_string(requested->first) + "-" +
                      std::to_string(requested->last) + " reaches past the last frame; frames " +
                      std::to_string(range.first) + "-" + std::to_string(range.last) +
                      " are exported");
    }
}

int64_t FileSizeOf(const std::string& fileName) {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 ? int64_t(st.st_size) : 0;
}

}  // namespace

std::string ExportReport(int32_t frames, const std::string& targetName) {
    return "Exported " + std::to_string(frames) + (frames == 1 ? " frame" : " frames") + " to " +
           ExtractFileName(targetName);
}

ExportOutcome ExportCutObjectRange(TCutObject& cut, FrameSpan span, const std::string& targetName,
                                   ExportStyle style, OperationFrontEnd& frontEnd, int64_t* bytes) {
    ExportTargetFile target(targetName);
    const bool wave = IsWaveTarget(targetName);
    const WorkerTask task{WorkerTask::Kind::Export, targetName,
                          std::max<int64_t>(int64_t{span.last} - span.first + 1, 1)};
    return RunOnTarget(
        target, task,
        [&](ByteStream& target, WorkerControl& control) {
            return ExportCutObjectFrames(target, wave, cut, span, style, control);
        },
        frontEnd, bytes);
}

ExportOutcome ExportCues(const std::vector<const TCueObject*>& cues,
                         const TProjectProperties& project, const std::string& targetName,
                         const std::string& projectFile, ExportStyle style,
                         OperationFrontEnd& frontEnd, int64_t* bytes) {
    int64_t total = 0;
    int64_t frames = 0;  // what the cues hold of their sources
    for (const TCueObject* cue : cues) {
        if (cue != nullptr && cue->MarkOut >= cue->MarkIn) {
            total += int64_t{cue->MarkOut} - cue->MarkIn + 1;
        }
        if (cue != nullptr && cue->CutObject != nullptr) {
            const FrameSpan span =
                ClampFrameSpan(FrameSpan{cue->MarkIn, cue->MarkOut}, cue->CutObject->FrameCount());
            frames += span.first <= span.last ? int64_t{span.last} - span.first + 1 : 0;
        }
    }
    // A file of nothing but a tag, or nothing at all, reported as a successful export would
    // hide that every range was empty.
    if (frames == 0) {
        throw OperationError(kStatusFailed, "none of the cues holds a frame of its source; " +
                                                targetName + " was not written");
    }
    ExportTargetFile target(targetName, projectFile);
    const bool wave = IsWaveTarget(targetName);
    const TProjectProperties settings = project;  // later edits do not reach a running export
    const WorkerTask task{WorkerTask::Kind::Export, targetName, total};
    return RunOnTarget(
        target, task,
        [&](ByteStream& target, WorkerControl& control) {
            return ExportProjectFrames(target, wave, settings, cues, style, control);
        },
        frontEnd, bytes);
}

SourceExportResult ExportSourceFile(const SourceExportRequest& request,
                                    const CutObjectOptions& options, OperationFrontEnd& frontEnd) {
    SourceExportResult result;
    result.kind = ExportTargetKindOf(request.target);
    const bool indexTarget = result.kind == ExportTargetKind::IndexFile;
    if (!indexTarget) {
        CheckTarget(request.target);
    } else if (request.range) {
        throw OperationError(kStatusFailed,
                             "an index file holds the whole source; a range does not apply");
    }
    CheckAudioKind(request.source);

    OpenedSource source;
    source.cut = LoadIndexedSource(request.source, options, frontEnd);
    source.fromIndex = source.cut != nullptr;
    if (!source.cut) {
        if (!indexTarget && !request.range && request.style == ExportStyle::Raw) {
            CutObjectPtr cut = CreateSource(request.source, options);
            result.source = cut->FileName;
            const bool wave = result.kind == ExportTargetKind::Wave;
            const WorkerTask task{WorkerTask::Kind::ScanExport, request.target,
                                  cut->FileStream ? cut->FileStream->Size() : 0};
            ScanExportOutcome outcome;
            // The target's create error is the user's message, not an unknown error.
            std::exception_ptr thrown;
            const int status = frontEnd.Run(task, [&](WorkerControl& control) {
                try {
                    outcome = ScanAndExportAll(*cut, request.target, wave, control);
                } catch (...) {
                    thrown = std::current_exception();
                    return int{kStatusUnknownError};
                }
                return outcome.scanStatus != kStatusOk ? outcome.scanStatus
                                                       : outcome.exported.status;
            });
            if (thrown) {
                std::rethrow_exception(thrown);
            }
            if (outcome.scanStatus == kStatusOk && status != outcome.exported.status) {
                outcome.scanStatus = status;  // no worker could be started
            }
            cut->CompletelyScanned = outcome.scanStatus == kStatusOk;
            result.scanStatus = outcome.scanStatus;
            result.bytes = outcome.targetBytes;
            if (result.scanStatus != kStatusOk) {
                return result;
            }
            result.frames = cut->FrameCount();
            result.range = FrameSpan{0, result.frames - 1};
            NoteRange(frontEnd, request.source, std::nullopt, result.range, result.frames);
            result.outcome = outcome.exported;
            return result;
        }
        source = ScanSource(request.source, options, frontEnd);
        if (source.status != kStatusOk) {
            result.source = source.cut->FileName;
            result.scanStatus = source.status;
            result.bytes = FileSizeOf(request.target);
            return result;
        }
    }
    TCutObject& cut = *source.cut;
    result.source = cut.FileName;
    result.fromIndex = source.fromIndex;
    result.frames = cut.FrameCount();
    if (indexTarget) {
        result.outcome.status = SaveCutObject(&cut, request.target);
        return result;
    }
    result.range =
        ClampFrameSpan(request.range.value_or(FrameSpan{0, result.frames - 1}), result.frames);
    NoteRange(frontEnd, request.source, request.range, result.range, result.frames);
    result.outcome = ExportCutObjectRange(cut, result.range, request.target, request.style,
                                          frontEnd, &result.bytes);
    return result;
}

}  // namespace sw
