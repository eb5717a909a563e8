#pragma once

#include <algorithm>
#include <cstdint>

namespace sw {

// An inclusive range of frame numbers; first > last holds no frame.
struct FrameSpan {
    int32_t first = 0;
    int32_t last = 0;
};

// The range as an export applies marks: cut to the file's frames.
inline FrameSpan ClampFrameSpan(const FrameSpan& span, int32_t frameCount) {
    return FrameSpan{std::max(span.first, 0), std::min(span.last, frameCount - 1)};
}

}  // namespace sw
