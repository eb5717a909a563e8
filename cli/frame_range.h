#pragma once

#include <cstdint>
#include <string>

#include "engine/frame_span.h"

namespace sw::cli {

using FrameRange = FrameSpan;

// "FIRST-LAST": two decimal frame numbers, inclusive. Throws UsageError for anything else
// (signs, blanks, a missing bound, numbers beyond 32 bits). FIRST after LAST is no syntax error:
// as marks it is an empty range.
FrameRange ParseFrameRange(const std::string& text);

// For playback, which cannot play what lies outside the file: throws UsageError when FIRST is
// after LAST or the range reaches past the last frame of a file of frameCount frames.
void CheckFrameRange(const FrameRange& range, int32_t frameCount);

}  // namespace sw::cli
