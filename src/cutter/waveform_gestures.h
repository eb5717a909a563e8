#pragma once

#include <cstdint>
#include <vector>

#include "cutter/waveform_scale.h"

namespace sw {

// What the mouse and the keys do on the waveform, as frames: the window only turns events into
// these calls and hands the results to the cutter.

enum class WaveformGrip { None, MarkIn, MarkOut };

// The selection [markIn, markOut] spans from XOf(markIn) to XOf(markOut + 1); its handles sit on
// those two edges. The handle within tolerance pixels of x, the nearer one when both are; none
// when neither is.
WaveformGrip GripAt(const WaveformScale& scale, double x, int32_t markIn, int32_t markOut,
                    double tolerance);

struct MarkRange {
    int32_t markIn = 0;
    int32_t markOut = 0;
};

// A drag from the anchor frame to frame selects both and what lies between, whichever way it
// goes. Dragging a handle is a drag anchored at the other mark, so a handle dragged past the
// other one swaps roles with it instead of pushing it along.
MarkRange MarksBetween(int32_t anchor, int32_t frame);

// The frame a drag anchors at when it grabs a handle: the other mark.
int32_t GripAnchor(WaveformGrip grip, int32_t markIn, int32_t markOut);

// One keyboard step: a pixel column's worth of frames, at least one frame.
int32_t StepFrames(const WaveformScale& scale);

// A cue's frames. The waveform lays cues out in rows: each cue, in the order given, goes to the
// first row whose cues all end before it starts, up to maxRows rows; what does not fit shares
// the last row.
struct CueSpan {
    int32_t markIn = 0;
    int32_t markOut = 0;
};
std::vector<int> CueRows(const std::vector<CueSpan>& cues, int maxRows);

// The cue that reviewing at frame means: of the cues holding frame, the one that starts last
// (the innermost of nested cues); within row when row >= 0. -1 when no cue holds frame.
int CueAt(const std::vector<CueSpan>& cues, const std::vector<int>& rows, int32_t frame, int row);

// The nearest cue start after frame (forward) or before it (backward), -1 when there is none.
int32_t NextCueStart(const std::vector<CueSpan>& cues, int32_t frame, bool forward);

}  // namespace sw
