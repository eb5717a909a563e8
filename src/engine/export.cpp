#include "engine/export.h"

#include <cstdio>

#include "engine/wave_header.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/memory_stream.h"
#include "stream/status.h"

namespace sw {
namespace {

// What both workers do around their frame copy: the provisional and final WAV header, pushing
// buffered bytes to the file, and the status.
class ExportFrame {
  public:
    ExportFrame(ByteStream& target, bool wave, WorkerControl& control)
        : target_(target), wave_(wave), control_(control) {}

    void Begin() {
        if (wave_ && !WriteHeader(kNoFrame)) {
            // The frames then start at 0 and the file stays without a header.
            target_.Seek(0, SeekOrigin::Begin);
            headerFailed_ = true;
        }
    }

    // Final header, flush and status. failed: some range or the tag did not make it whole.
    ExportOutcome Finish(const TFrameInfo& lastFrame, bool failed, int32_t framesCopied) {
        ExportOutcome outcome;
        // A failed header is reported by its own message; it does not change the status.
        if (wave_ && !headerFailed_ && !WriteHeader(lastFrame)) {
            headerFailed_ = true;
        }
        if (!Flush()) {
            failed = true;
        }
        outcome.waveHeaderFailed = headerFailed_;
        outcome.framesCopied = framesCopied;
        // A damaged file is worth more attention than a shortened one: failure beats abort.
        outcome.status = failed                          ? kStatusUnknownError
                         : control_.TerminateRequested() ? kStatusAborted
                                                         : kStatusOk;
        return outcome;
    }

  private:
    // A header that only reached the file stream's buffer has not been written yet: a full disk
    // shows when it goes out, and that must count as the header's failure.
    bool WriteHeader(const TFrameInfo& info) {
        return WriteWaveHeader(&target_, info) == kStatusOk && Flush();
    }
    bool Flush() {
        if (auto* file = dynamic_cast<FileStream*>(&target_)) {
            try {
                file->Flush();
            } catch (...) {
                return false;
            }
        }
        return true;
    }

    ByteStream& target_;
    bool wave_;
    WorkerControl& control_;
    bool headerFailed_ = false;
};

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

std::unique_ptr<ByteStream> CreateExportTarget(const std::string& fileName) {
    // Refused before anything is deleted: the source a cut object reads must survive intact.
    if (IsHeldSource(fileName)) {
        throw FileCreateError(fileName);
    }
    // An index beside the target describes the file about to be replaced.
    const std::string companion = ChangeFileExt(fileName, "m3i");
    if (companion != fileName && FileExists(companion) && !IsHeldSource(companion)) {
        std::remove(companion.c_str());
    }
    return std::make_unique<FileStream>(fileName, FileMode::Create);
}

ExportOutcome ExportCutObjectFrames(ByteStream& target, bool wave, TCutObject& cut, int32_t first,
                                    int32_t last, WorkerControl& control) {
    if (!cut.FileStream || !cut.IndexStream) {
        return ExportOutcome{kStatusNotInitialized, false, 0};
    }
    FrameCopier copier(target, control);
    try {
        ExportFrame frame(target, wave, control);
        frame.Begin();
        TFrameInfo lastFrame = kNoFrame;
        const bool whole = copier.CopyFrameRange(cut, nullptr, lastFrame, first, last);
        return frame.Finish(lastFrame, !whole, copier.FramesCopied());
    } catch (...) {
        return ExportOutcome{kStatusUnknownError, false, copier.FramesCopied()};
    }
}

ExportOutcome ExportProjectFrames(ByteStream& target, bool wave, const TProjectProperties& project,
                                  const std::vector<const TCueObject*>& cues,
                                  WorkerControl& control) {
    FrameCopier copier(target, control);
    try {
        ExportFrame frame(target, wave, control);
        frame.Begin();
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
        return frame.Finish(lastFrame, failed, copier.FramesCopied());
    } catch (...) {
        return ExportOutcome{kStatusUnknownError, false, copier.FramesCopied()};
    }
}

}  // namespace sw
