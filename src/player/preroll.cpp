#include "player/preroll.h"

#include <algorithm>

namespace sw {

int32_t MainDataBytes(const TFrameInfo& info) {
    if (info.Layer != 3 || info.FrameLength <= 0) {
        return 0;
    }
    const bool mono = info.ChannelMode == 3;
    const int32_t sideInfo = info.Version == 1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return std::max(0, info.FrameLength - 4 - (info.Crc != 0 ? 2 : 0) - sideInfo);
}

int32_t PrerollStart(TCutObject& cut, int32_t frame) {
    if (frame <= 0) {
        return std::max(frame, 0);
    }
    const TFrameInfo target = FrameHeader(&cut, frame);
    // Layers I and II keep no reservoir; one frame refills the synthesis filter's memory.
    int32_t start = frame - 1;
    if (target.Layer != 3) {
        return start;
    }
    const int32_t reservoir = target.Version == 1 ? 511 : 255;
    int32_t covered = 0;
    while (start > 0 && covered < reservoir && frame - start < kMaxPrerollFrames) {
        --start;
        covered += MainDataBytes(FrameHeader(&cut, start));
    }
    return start;
}

}  // namespace sw
