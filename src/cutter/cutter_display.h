#pragma once

#include <cstdint>
#include <string>

#include "stream/frame_header.h"

namespace sw {

// A frame number as the cutter shows it: when showTime a time, the frame's true start time in
// hundredths when realTime (FrameToRealTime) and else the classic count of frames within the
// second (FrameToTimeCode); without showTime the decimal number.
std::string FrameText(const TFrameInfo& info, int64_t frame, bool showTime, bool realTime);
// What the three position labels and the length panel read with no file open.
std::string NoFrameText(bool showTime);

// The length panel: the marked frames (MarkOut - MarkIn + 1) when showMarkedLength, else the
// frames of the whole file. A reversed selection has no frames, never a negative length.
int64_t ShownLength(int32_t markIn, int32_t markOut, int32_t frameCount, bool showMarkedLength);

// "Cutter (keyboard enabled)" or "Cutter (keyboard disabled)".
std::string CutterCaption(bool keyboardControl);

// The name proposed for an export of the marked selection: "<safe name> (<in>-<out>)".
std::string ProposedExportName(const std::string& name, int32_t markIn, int32_t markOut);

// True when the chosen export name asks for a cue file rather than audio (kind "m3q", in any
// case).
bool ExportsCueFile(const std::string& fileName);

}  // namespace sw
