#include "cutter/waveform_gestures.h"

#include <algorithm>
#include <cmath>

namespace sw {

WaveformGrip GripAt(const WaveformScale& scale, double x, int32_t markIn, int32_t markOut,
                    double tolerance) {
    const double in = std::abs(x - scale.XOf(markIn));
    const double out = std::abs(x - scale.XOf(double(markOut) + 1));
    if (in > tolerance && out > tolerance) {
        return WaveformGrip::None;
    }
    // Handles that lie on one another (a short selection far out): the side of the pointer
    // decides, so both can still be taken.
    if (in == out) {
        return x < scale.XOf(markIn) ? WaveformGrip::MarkIn : WaveformGrip::MarkOut;
    }
    return in < out ? WaveformGrip::MarkIn : WaveformGrip::MarkOut;
}

MarkRange MarksBetween(int32_t anchor, int32_t frame) {
    return {std::min(anchor, frame), std::max(anchor, frame)};
}

int32_t GripAnchor(WaveformGrip grip, int32_t markIn, int32_t markOut) {
    return grip == WaveformGrip::MarkIn ? markOut : markIn;
}

int32_t StepFrames(const WaveformScale& scale) {
    return std::max<int32_t>(1, int32_t(std::lround(scale.FramesPerPixel())));
}

std::vector<int> CueRows(const std::vector<CueSpan>& cues, int maxRows) {
    std::vector<int> rows(cues.size(), 0);
    // The last frame each row holds so far.
    std::vector<int64_t> rowEnds;
    for (size_t i = 0; i < cues.size(); ++i) {
        const int32_t first = std::min(cues[i].markIn, cues[i].markOut);
        const int32_t last = std::max(cues[i].markIn, cues[i].markOut);
        int row = 0;
        while (row < int(rowEnds.size()) && rowEnds[size_t(row)] >= first) {
            ++row;
        }
        if (row >= std::max(maxRows, 1)) {
            row = std::max(maxRows, 1) - 1;
        }
        if (row == int(rowEnds.size())) {
            rowEnds.push_back(last);
        } else {
            rowEnds[size_t(row)] = std::max<int64_t>(rowEnds[size_t(row)], last);
        }
        rows[i] = row;
    }
    return rows;
}

int CueAt(const std::vector<CueSpan>& cues, const std::vector<int>& rows, int32_t frame, int row) {
    int found = -1;
    for (size_t i = 0; i < cues.size(); ++i) {
        const int32_t first = std::min(cues[i].markIn, cues[i].markOut);
        const int32_t last = std::max(cues[i].markIn, cues[i].markOut);
        if (frame < first || frame > last || (row >= 0 && i < rows.size() && rows[i] != row)) {
            continue;
        }
        if (found < 0 ||
            first > std::min(cues[size_t(found)].markIn, cues[size_t(found)].markOut)) {
            found = int(i);
        }
    }
    return found;
}

int32_t NextCueStart(const std::vector<CueSpan>& cues, int32_t frame, bool forward) {
    int64_t best = -1;
    for (const CueSpan& cue : cues) {
        const int32_t start = std::min(cue.markIn, cue.markOut);
        if (forward ? start > frame && (best < 0 || start < best)
                    : start < frame && (best < 0 || start > best)) {
            best = start;
        }
    }
    return int32_t(best);
}

}  // namespace sw
