#include "engine/export.h"

#include "engine/clean_export.h"
#include "engine/export_framing.h"
#include "engine/join_repair.h"
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

bool Usable(const ExportPiece& piece) {
    return piece.cut != nullptr && piece.cut->FileStream && piece.cut->IndexStream;
}

}  // namespace

bool IsWaveTarget(const std::string& fileName) {
    return FileKind(fileName) == "wav";
}

ExportOutcome ExportPieces(ByteStream& target, bool wave, const std::vector<ExportPiece>& pieces,
                           ExportStyle style, const HeaderFlags* flags, const TID3Tag* tag,
                           WorkerControl& control) {
    FrameCopier copier(target, control);
    try {
        StreamTargetAccess access(target);
        ExportFraming framing(access, wave);
        target.Seek(framing.Begin(), SeekOrigin::Begin);
        bool failed = false;
        ExportOutcome outcome;
        TFrameInfo lastFrame = kNoFrame;
        int32_t framesCopied = 0;
        if (style == ExportStyle::Raw) {
            for (const ExportPiece& piece : pieces) {
                // A piece whose source is missing is skipped; the others still make a useful file.
                if (Usable(piece) && !copier.CopyFrameRange(*piece.cut, flags, lastFrame,
                                                            piece.span.first, piece.span.last)) {
                    failed = true;
                }
            }
            framesCopied = copier.FramesCopied();
        } else {
            CleanStreamWriter writer(target, copier, wave, flags);
            for (const ExportPiece& piece : pieces) {
                if (Usable(piece) && !writer.Add(*piece.cut, piece.span)) {
                    failed = true;
                }
            }
            if (!writer.Finish()) {
                failed = true;
            }
            lastFrame = writer.LastFrame();
            framesCopied = writer.PieceFrames();
            outcome.notes = writer.Notes();
            if (wave) {
                framing.SetSampleCount(writer.Samples());
            }
        }
        if (tag != nullptr && !AppendTag(target, *tag)) {
            failed = true;
        }
        std::vector<std::string> notes = std::move(outcome.notes);
        outcome = framing.Finish(lastFrame, target.Size(), failed, control.TerminateRequested(),
                                 framesCopied);
        outcome.notes = std::move(notes);
        outcome.failure = copier.SourceFailure();
        return outcome;
    } catch (...) {
        return ExportOutcome{
            kStatusUnknownError, false, copier.FramesCopied(), copier.SourceFailure(), {}};
    }
}

std::vector<MismatchedJoin> FindMismatchedJoins(const std::vector<ExportPiece>& pieces) {
    std::vector<MismatchedJoin> mismatched;
    TFrameInfo before = kNoFrame;
    size_t beforeAt = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const ExportPiece& piece = pieces[i];
        if (!Usable(piece)) {
            continue;
        }
        const FrameSpan span = ClampFrameSpan(piece.span, piece.cut->FrameCount());
        if (span.first > span.last) {
            continue;
        }
        const TFrameInfo first = FrameHeader(piece.cut, span.first);
        if (before.Layer != 0 && !SameStreamFormat(before, first)) {
            mismatched.push_back(MismatchedJoin{beforeAt, i});
        }
        before = FrameHeader(piece.cut, span.last);
        beforeAt = i;
    }
    return mismatched;
}

ExportOutcome ExportCutObjectFrames(ByteStream& target, bool wave, TCutObject& cut, FrameSpan span,
                                    ExportStyle style, WorkerControl& control) {
    if (!cut.FileStream || !cut.IndexStream) {
        ExportOutcome outcome;
        outcome.status = kStatusNotInitialized;
        return outcome;
    }
    return ExportPieces(target, wave, {ExportPiece{&cut, span}}, style, nullptr, nullptr, control);
}

ExportOutcome ExportProjectFrames(ByteStream& target, bool wave, const TProjectProperties& project,
                                  const std::vector<const TCueObject*>& cues, ExportStyle style,
                                  WorkerControl& control) {
    std::vector<ExportPiece> pieces;
    pieces.reserve(cues.size());
    for (const TCueObject* cue : cues) {
        if (cue != nullptr) {
            pieces.push_back(ExportPiece{cue->CutObject, FrameSpan{cue->MarkIn, cue->MarkOut}});
        }
    }
    const HeaderFlags flags{project.Private, project.Copyright, project.Original};
    return ExportPieces(target, wave, pieces, style,
                        (project.ExportFlags & kExportFlags) ? &flags : nullptr,
                        (project.ExportFlags & kExportTag) ? &project.Tag : nullptr, control);
}

}  // namespace sw
