#pragma once

#include <cstdint>

#include "engine/header_frame.h"

namespace sw {

// Decoders of Layer III start their output 529 samples late; the LAME extension's encoder delay
// is counted without these, its padding with them.
inline constexpr int32_t kDecoderDelay = 529;

// Which of a source's decoded samples a player keeps: those from KeptBegin to KeptEnd, counted
// in samples decoded from its first audio frame on. A source with a gapless tag says so in its
// tag; one without is played whole (its decoder delay left in), by ffmpeg and mpg123 alike.
struct SourceGapless {
    SourceTag tag;
    int64_t audioFrames = 0;  // the tag frame not counted
    int32_t samplesPerFrame = 0;

    int64_t KeptBegin() const { return tag.gapless ? tag.delay + kDecoderDelay : 0; }
    int64_t KeptEnd() const {
        const int64_t all = audioFrames * samplesPerFrame;
        return tag.gapless ? all - tag.padding + kDecoderDelay : all;
    }
};

// The gapless fields of a piece that holds framesBefore frames of lead-in (and our carrier) and
// then the source's audio frames first..last (counted without the tag frame): decoders are to
// give exactly what the source gives over those frames. A piece that starts at the source's
// first frame keeps its encoder delay; one that ends at its last frame keeps its padding.
struct PieceGapless {
    int32_t delay = 0;
    int32_t padding = 0;
    // Both fit their 12 bits, the delay not below 0.
    bool Fits() const {
        return delay >= 0 && delay <= kMaxGaplessField && padding >= 0 &&
               padding <= kMaxGaplessField;
    }
};

// The samples decoders skip at the start of such a piece (delay + 529): the lead-in's, and where
// the source itself skips into frame first, that part too.
int64_t LeadingSkip(const SourceGapless& source, int64_t first, int32_t framesBefore);
// The samples decoders drop at the end of a piece ending at frame last (padding - 529).
int64_t TrailingDrop(const SourceGapless& source, int64_t last);

PieceGapless GaplessOfPiece(const SourceGapless& source, int64_t first, int64_t last,
                            int32_t framesBefore);

}  // namespace sw
