#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "cutter/envelope_source.h"
#include "cutter/level_envelope.h"

namespace sw {

// The decoded level of one frame's samples (interleaved, perChannel samples of each channel).
FrameLevel MeasureFrameLevel(const int16_t* samples, size_t perChannel, int channels);

// The two steps that fill an envelope, each going on from where the envelope stands. Both poll
// terminate before every frame and return false when they stopped for it; what they published
// stays. A frame that cannot be read or decoded counts as silence; a file that cannot be read
// at all is recorded as the envelope's failure.
bool BuildCoarseLevels(LevelEnvelope& envelope, SourceFrameReader& frames,
                       const std::atomic<bool>& terminate);
// Decodes with libmpg123 from the first frame without a decoded level, after feeding it the
// frames before that one whose output a decoder needs (bit reservoir, overlap).
bool BuildExactLevels(LevelEnvelope& envelope, SourceFrameReader& frames, int sampleRate,
                      int channels, const std::atomic<bool>& terminate);

}  // namespace sw
