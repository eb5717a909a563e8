#pragma once

#include <cstdint>

#include "stream/cut_object.h"

namespace sw {

// What the cutter knows when it decides which controls can work.
struct CutterSituation {
    bool suspended = false;   // EnablePlayer(false) is in force, or the window is hidden
    bool playerOpen = false;  // a player exists and reports state 1
    bool hasCut = false;      // a cut object is open
    int32_t frameCount = 0;   // of the open cut object
    int32_t markIn = 0;
    int32_t markOut = 0;
    bool cueUnderReview = false;
};

// The enable groups. Transport needs a player that holds the file; marking (the jumps, the seek
// bar and the mark buttons) needs only a file with frames, so that marks, cues and exports stay
// usable when no sound server plays anything; a file whose index holds no frames offers nothing.
struct CutterEnables {
    bool transport = false;  // play, cue, pause, Mute, Loop, the knob
    bool marking = false;    // jump buttons, seek bar, set mark-in, set mark-out
    bool markPlay = false;   // "Play marked selection": the marks must lie inside the file
    bool list = false;       // selection and position to the cue list, export
    bool updateCue = false;
};

CutterEnables EnablesFor(const CutterSituation& situation);

// The seek bar's range for a file: 0..frames-1, never reversed (an empty index gives 0..0).
int32_t SeekBarMaximum(int32_t frameCount);
// A frame as a seek bar position inside that range.
int32_t SeekBarPosition(int64_t frame, int32_t frameCount);

// True when "Play Mark" can play the marks: 0 <= MarkIn <= MarkOut <= last frame.
bool MarksInsideFile(int32_t markIn, int32_t markOut, int32_t frameCount);

// The mark buttons: one mark set past the other drags the other along, so afterwards
// MarkIn <= MarkOut.
void SetMarkIn(TCutObject& cut, int32_t frame);
void SetMarkOut(TCutObject& cut, int32_t frame);

}  // namespace sw
