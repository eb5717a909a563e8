#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/frame_copy.h"
#include "engine/frame_span.h"
#include "engine/worker_control.h"
#include "stream/cut_object.h"
#include "stream/project_properties.h"

namespace sw {

// The export's kind of target: "wav" (first three characters of the extension, any case) is a
// WAV file with the 70-byte MPEG header, anything else plain MPEG audio.
bool IsWaveTarget(const std::string& fileName);

// How an export writes its frames (the user's "Clean cuts" choice).
enum class ExportStyle {
    // Every piece plays exactly its frames, shows its true length and joins back gaplessly: a
    // Layer III MPEG file gets our header frame and a lead-in, joins get their reservoir, the
    // source's Info frame is left out, and a WAV file carries its frames' true sample count.
    Clean,
    // The frames byte for byte as the source holds them.
    Raw,
};

// The style a "Clean cuts" choice of the user asks for.
inline ExportStyle ExportStyleOf(bool cleanCuts) {
    return cleanCuts ? ExportStyle::Clean : ExportStyle::Raw;
}

struct ExportOutcome {
    // 0; 2 aborted (the file is kept, shorter, still well-formed); 3 a range ended early, the tag
    // or the final flush failed, or any other error; 5 the cut object has no streams.
    int status = 0;
    bool waveHeaderFailed = false;  // the caller shows "Unable to write wave-header"
    int32_t framesCopied = 0;       // of the ranges asked for: lead-in and our frames not counted
    // Why the export failed, in the user's words ("Cannot write file x.mp3: No space left on
    // device", "a.mp3 ends before frame 812: ..."); "" when it did not, or nothing more is known.
    std::string failure;
    // What the user should know although the export went on: a piece copied plainly, a join of
    // streams players misread. One sentence each.
    std::vector<std::string> notes;
};

// One range of an export: frames span of a cut object, taken as values (the cut object's marks
// play no part).
struct ExportPiece {
    TCutObject* cut = nullptr;
    FrameSpan span;
};

// The one export of frames every MP3 and WAV export runs: the pieces one after the other into
// target (behind a WAV header when wave), in the given style. Pieces without a cut object or
// streams are skipped. flags (may be null) are stamped into every frame; tag (may be null) is
// appended after the last frame. The WAV header describes the last frame copied whole.
ExportOutcome ExportPieces(ByteStream& target, bool wave, const std::vector<ExportPiece>& pieces,
                           ExportStyle style, const HeaderFlags* flags, const TID3Tag* tag,
                           WorkerControl& control);

// Two pieces (by their places in the list) that meet in an export although the last frame of
// the one differs from the first frame of the other in version, layer, sample rate or channel
// mode (SameStreamFormat): such a join is made as it is, and players misread the file.
struct MismatchedJoin {
    size_t before = 0;
    size_t after = 0;
};
// Pieces without frames, a cut object or streams are passed over: they meet nothing.
std::vector<MismatchedJoin> FindMismatchedJoins(const std::vector<ExportPiece>& pieces);

// The file export worker: a range of one cut object (status 5 when it has no streams).
ExportOutcome ExportCutObjectFrames(ByteStream& target, bool wave, TCutObject& cut, FrameSpan span,
                                    ExportStyle style, WorkerControl& control);

// The project export worker: the cues in order, with the project's header flags and tag as its
// ExportFlags say.
ExportOutcome ExportProjectFrames(ByteStream& target, bool wave, const TProjectProperties& project,
                                  const std::vector<const TCueObject*>& cues, ExportStyle style,
                                  WorkerControl& control);

}  // namespace sw
