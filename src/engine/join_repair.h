#pragma once

#include <cstdint>
#include <vector>

#include "stream/frame_header.h"

namespace sw {

// Players take a stream's version, layer, sample rate and channel mode from its first frames; a
// file in which these change part way is misread (mpg123 calls it a "Frankenstein" stream,
// ffprobe gives a wrong length). Pieces that differ in any of them are joined as they are.
bool SameStreamFormat(const TFrameInfo& a, const TFrameInfo& b);

// At a join of two pieces the first frames after it read main data in front of their own areas
// (the bit reservoir): bytes of frames that were not exported. MakeRoomForReservoir puts those
// bytes (reservoir) at the end of the frame written last before the join, after that frame's
// own main data. When its free tail is too short the frame gets the next larger bitrate, and
// the next, until it is long enough; its audio does not change, and a protected frame gets its
// CRC word anew. False, and the frame unchanged, when not even the largest bitrate leaves room
// or it is no Layer III frame.
bool MakeRoomForReservoir(std::vector<uint8_t>& frame, const std::vector<uint8_t>& reservoir);

}  // namespace sw
