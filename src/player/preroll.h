#pragma once

#include <cstdint>

#include "stream/cut_object.h"
#include "stream/frame_header.h"

namespace sw {

// A Layer III frame may take up to 511 (MPEG-1) or 255 (MPEG-2/2.5) bytes of its data from the
// frames before it (the bit reservoir), and its first half-granule overlaps the previous frame's
// last. A decoder that starts at a frame without those bytes and that overlap plays noise or
// silence there. The frames to feed first, their output discarded, are the previous frame (for
// the overlap) and as many before it as the reservoir of that previous frame can reach.
inline constexpr int32_t kMaxPrerollFrames = 16;

// Bytes of a frame that belong to the main data area (the reservoir's home): the frame minus
// header, CRC and side information; 0 for what is not a Layer III frame.
int32_t MainDataBytes(const TFrameInfo& info);

// The first frame to pre-roll before frame: the frames [result, frame) go to the decoder first.
// Equals frame when nothing needs pre-rolling (frame 0). Reads headers through the index.
int32_t PrerollStart(TCutObject& cut, int32_t frame);

}  // namespace sw
