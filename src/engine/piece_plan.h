#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/frame_span.h"
#include "engine/gapless.h"
#include "stream/cut_object.h"

namespace sw {

// The whole bytes of an indexed frame; false when the index does not point at a valid header
// or the frame does not fit in the source.
bool ReadIndexedFrame(TCutObject& cut, int32_t frame, std::vector<uint8_t>& bytes);

// What frames first..last of a Layer III source read before first's own main-data area: the
// bytes a decoder must have seen for all of their main data to be there.
struct Reservoir {
    bool found = true;
    std::vector<uint8_t> bytes;  // in stream order, ending where first's area begins
    std::string problem;         // when not found: what lies in the way
};
// firstAudio: the source's first audio frame (1 after a tag frame), where its reservoir begins.
Reservoir ReservoirInFront(TCutObject& cut, int32_t first, int32_t last, int32_t firstAudio);

// How a clean export writes one piece of a source.
struct PiecePlan {
    enum class Kind {
        Empty,  // no audio frame (an empty range, or the source's tag frame alone)
        Clean,
        Plain,  // copied as it is: not Layer III, or (problem) its reservoir cannot be rebuilt
    };
    Kind kind = Kind::Empty;
    FrameSpan audio;        // the piece's frames, index numbers, the source's tag frame left out
    int32_t copyFirst = 0;  // the first frame copied: the lead-in's first, else audio.first
    int32_t leadIn = 0;     // frames copyFirst..audio.first-1, decoded and not heard
    bool carrier = false;   // a silent frame of ours goes first, ending with reservoir
    std::vector<uint8_t> reservoir;
    uint32_t firstWord = 0;      // the header of frame audio.first
    uint32_t copyFirstWord = 0;  // the header of frame copyFirst
    int32_t firstAudio = 0;      // the source's first audio frame: 1 after its tag frame
    SourceGapless source;
    std::string problem;

    int32_t FramesBefore() const { return leadIn + (carrier ? 1 : 0); }
    // The piece's frames as the source's audio frames (the tag frame not counted).
    int64_t AudioFirst() const { return audio.first - firstAudio; }
    int64_t AudioLast() const { return audio.last - firstAudio; }
};

// Plans a piece of span (clamped to the file). With leadIn, the piece decodes on its own to
// what the source decodes to over its frames: the frame before it (MPEG-1) or the two before it
// (MPEG-2 and 2.5) go first, and a carrier when their main data reaches further back, when the
// delay would otherwise fall below the decoder's own 529 samples, or when a single frame would
// follow the header frame. Without (a WAV target, a piece joined to the one before) only the
// tag frame is left out.
PiecePlan PlanPiece(TCutObject& cut, FrameSpan span, bool leadIn);

// The carrier: a frame of the stream of next (the header of the frame that follows it), with
// side information all zero, so that it decodes to silence and uses none of its bytes, and
// reservoir at its very end. Its bitrate is next's when that holds the bytes, else the smallest
// that does. A protected stream's carrier gets its CRC word.
std::vector<uint8_t> BuildCarrierFrame(uint32_t next, const std::vector<uint8_t>& reservoir);

}  // namespace sw
