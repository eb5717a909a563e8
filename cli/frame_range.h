#pragma once

#include <cstdint>
#include <string>

namespace sw::cli {

struct FrameRange {
    int32_t first = 0;
    int32_t last = 0;
};

// "FIRST-LAST": two decimal frame numbers, inclusive, FIRST <= LAST. Throws UsageError for
// anything else (signs, blanks, a missing bound, numbers beyond 32 bits).
FrameRange ParseFrameRange(const std::string& text);

// Throws UsageError when the range reaches past the last frame of a file of frameCount frames:
// a mistyped range should not quietly give a shorter file.
void CheckFrameRange(const FrameRange& range, int32_t frameCount);

}  // namespace sw::cli
