#include "cutter/cutter_state.h"

#include <algorithm>

namespace sw {

CutterEnables EnablesFor(const CutterSituation& s) {
    CutterEnables e;
    if (s.suspended || !s.hasCut || s.frameCount <= 0) {
        return e;
    }
    e.transport = s.playerOpen;
    e.marking = true;
    e.markPlay = s.playerOpen && MarksInsideFile(s.markIn, s.markOut, s.frameCount);
    e.list = true;
    e.updateCue = s.cueUnderReview;
    return e;
}

int32_t SeekBarMaximum(int32_t frameCount) {
    return std::max(frameCount - 1, 0);
}

int32_t SeekBarPosition(int64_t frame, int32_t frameCount) {
    return int32_t(std::clamp<int64_t>(frame, 0, SeekBarMaximum(frameCount)));
}

bool MarksInsideFile(int32_t markIn, int32_t markOut, int32_t frameCount) {
    return markIn >= 0 && markIn <= markOut && markOut <= frameCount - 1;
}

void SetMarkIn(TCutObject& cut, int32_t frame) {
    cut.MarkIn = frame;
    if (cut.MarkOut < cut.MarkIn) {
        cut.MarkOut = cut.MarkIn;
    }
}

void SetMarkOut(TCutObject& cut, int32_t frame) {
    cut.MarkOut = frame;
    if (cut.MarkOut < cut.MarkIn) {
        cut.MarkIn = cut.MarkOut;
    }
}

}  // namespace sw
