#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/worker_control.h"
#include "stream/byte_stream.h"
#include "stream/cut_object.h"

namespace sw {

// The threshold range the dialog and the command line offer, and the default of the
// "AutocutThreshold" setting.
inline constexpr int32_t kMinAutocutThreshold = 1;
inline constexpr int32_t kMaxAutocutThreshold = 100;
inline constexpr int32_t kDefaultAutocutThreshold = 20;

// The number of the frame's neighbouring byte pairs that must be equal for a frame of n bytes to
// count as silence at threshold percent: threshold * (n * 0.01) in 80-bit extended arithmetic
// (0.01 as its nearest extended value), rounded to the nearest integer, ties to even. At 100 the
// limit is n, which no frame can reach.
int64_t EmptyFrameLimit(int32_t threshold, int32_t frameLength);

// Tests the frame whose header starts at the stream's position: reads the 4-byte header word
// and then the FrameLength bytes that directly follow those 4 bytes, and counts the positions
// where a byte equals the one before it. Not empty when the word is short or no valid header,
// or when fewer than FrameLength bytes follow. Leaves the stream past what it read.
bool IsEmptyFrame(ByteStream& stream, int32_t threshold);

// Receives each cue the search finds: the searched cut object, "Auto<n>: <Name>", and the run's
// first and last frame (inclusive). The cue list model's AddCue satisfies it by building a
// TCueObject; returning false (the cue could not be taken) ends the search with SearchError.
using AutoCutSink =
    std::function<bool(TCutObject* cut, const std::string& name, int32_t markIn, int32_t markOut)>;

enum class AutoCutOutcome {
    Completed,         // the whole index was walked (or a frame could not be reached)
    Aborted,           // control.terminate was set; the runs seen so far became cues
    InvalidCutObject,  // no cut object, no file stream, or the index cannot be rewound
    NoIndex,           // never scanned: no index stream, or 0 frames and not completely scanned
    SearchError,       // an error while searching or while handing a cue over
};

struct AutoCutResult {
    AutoCutOutcome Outcome = AutoCutOutcome::Completed;
    int32_t CuesAdded = 0;
    // The user's text for the outcomes that are failures: "Invalid TCutObject", "Error while
    // searching <Name>", or the bin's refusal of an entry without an index ("The file \"<Name>\"
    // has no frame index..."); "" otherwise.
    std::string Message;
};

// The search over the whole file: walks the index frame by frame, classes each frame with
// IsEmptyFrame, and hands each run of non-empty frames that an empty frame closes to sink as
// "Auto<n>: <Name>" (n from 1 for every search). A run never opens at frame 0, needs a second
// non-empty frame before an empty one closes it, and a run still open at the end (or at an
// abort) with both ends set becomes a cue too. Reads the frames through the cut object's
// FileStream and IndexStream, which buffer, so frames cost no system call each.
//
// Publishes the number of the frame just examined through control.Report and polls
// control.TerminateRequested before every frame; nothing is called per frame but the sink on a
// found cue. Never throws: errors become SearchError, cues already handed over stay. Moves the
// cut object's streams, so nothing else may use the cut object meanwhile.
AutoCutResult ProcessFile(TCutObject* cut, int32_t threshold, const AutoCutSink& sink,
                          WorkerControl& control);

}  // namespace sw
