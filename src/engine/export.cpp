#include "engine/export.h"

#include "engine/export_framing.h"
#include "stream/file_names.h"
#include "stream/memory_stream.h"
#include "stream/status.h"

namespace sw {
namespace {

// Appends the tag after the last frame. The stream-model writer would overwrite the last 128
// bytes if they happened to begin with "TAG", which here are audio bytes of the last frame.
bool AppendTag(ByteStream& target, const TID3Tag& tag) {
    MemoryStream block;
    if (!WriteId3Tag(block, tag)) {
        return false;
    }
    const std::vector<uint8_t>& bytes = block.Bytes();
    target.Seek(0, SeekOrigin::End);
    return target.Write(bytes.data(), int64_t(bytes.size())) == int64_t(bytes.size());
}

}  // namespace

bool IsWaveTarget(const std::string& fileName) {
    return FileKind(fileName) == "wav";
}

ExportOutcome ExportCutObjectFrames(ByteStream& target, bool wave, TCutObject& cut, int32_t first,
                                    int32_t last, WorkerControl& control) {
    if (!cut.FileStream || !cut.IndexStream) {
        return ExportOutcome{kStatusNotInitialized, false, 0, ""};
    }
    FrameCopier copier(target, control);
    try {
        StreamTargetAccess access(target);
        ExportFraming framing(access, wave);
        target.Seek(framing.Begin(), SeekOrigin::Begin);
        TFrameInfo lastFrame = kNoFrame;
        const bool whole = copier.CopyFrameRange(cut, nullptr, lastFrame, first, last);
        ExportOutcome outcome = framing.Finish(lastFrame, target.Size(), !whole,
                                               control.TerminateRequested(), copier.FramesCopied());
        outcome.failure = copier.SourceFailure();
        return outcome;
    } catch (...) {
        return ExportOutcome{kStatusUnknownError, false, copier.FramesCopied(),
                             copier.SourceFailure()};
    }
}

ExportOutcome ExportProjectFrames(ByteStream& target, bool wave, const TProjectProperties& project,
                                  const std::vector<const TCueObject*>& cues,
                                  WorkerControl& control) {
    FrameCopier copier(target, control);
    try {
        StreamTargetAccess access(target);
        ExportFraming framing(access, wave);
        target.Seek(framing.Begin(), SeekOrigin::Begin);
        const HeaderFlags flags{project.Private, project.Copyright, project.Original};
        const HeaderFlags* override = (project.ExportFlags & kExportFlags) ? &flags : nullptr;
        TFrameInfo lastFrame = kNoFrame;
        bool failed = false;
        for (const TCueObject* cue : cues) {
            // A cue whose source is missing is skipped; the others still make a useful file.
            if (cue == nullptr || cue->CutObject == nullptr || !cue->CutObject->FileStream ||
                !cue->CutObject->IndexStream) {
                continue;
            }
            if (!copier.CopyFrameRange(*cue->CutObject, override, lastFrame, cue->MarkIn,
                                       cue->MarkOut)) {
                failed = true;
            }
        }
        if ((project.ExportFlags & kExportTag) && !AppendTag(target, project.Tag)) {
            failed = true;
        }
        ExportOutcome outcome = framing.Finish(lastFrame, target.Size(), failed,
                                               control.TerminateRequested(), copier.FramesCopied());
        outcome.failure = copier.SourceFailure();
        return outcome;
    } catch (...) {
        return ExportOutcome{kStatusUnknownError, false, copier.FramesCopied(),
                             copier.SourceFailure()};
    }
}

}  // namespace sw
