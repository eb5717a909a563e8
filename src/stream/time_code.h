#pragma once

#include <cstdint>
#include <string>

#include "stream/frame_header.h"

namespace sw {

// Whole frames per second of the frame: bytes per second / frame length, rounded half to even.
int32_t FrameRate(const TFrameInfo& info);

// "hh:mm:ss.ff" where ff counts frames within the second.
std::string FrameToTimeCode(const TFrameInfo& info, int32_t frame);
// Throws ConversionError when a field is not an optionally signed decimal integer.
int32_t TimeCodeToFrame(const TFrameInfo& info, const std::string& text);
// "hh:mm:ss.hh" with hundredths (scaled by 99) in the last field.
std::string PlayTimeToText(float seconds);

// Optional sign then decimal digits only; anything else throws ConversionError.
int32_t StrToInt(const std::string& text);

// Real time. The whole-number rate above makes a time code drift from the clock (an hour of
// 44.1 kHz audio reads 01:00:26), so the windows can show instead when a frame really starts:
// samples per frame over the sample rate. Durations are counted in ticks of 1/14112000 s, the
// least common multiple of every MPEG sample rate's sample period, so that every frame boundary
// of every format is a whole number of ticks and sums over files of different rates stay exact.
inline constexpr int64_t kTicksPerSecond = 14112000;

// Samples per channel in one frame: 384 for Layer I, 1152 for Layer II and MPEG-1 Layer III,
// 576 for MPEG-2 and MPEG-2.5 Layer III; 0 when the layer or version is not valid.
int32_t FrameSamples(const TFrameInfo& info);
// How long frames frames of the format last (negative for a negative count); 0 without a valid
// sample rate.
int64_t FramesToTicks(const TFrameInfo& info, int64_t frames);
// "hh:mm:ss.cc": the time truncated to hundredths, hours written in full; a time not above 0
// gives "00:00:00.00".
std::string TicksToRealTime(int64_t ticks);
// The true start time of a frame (equally the length of that many frames) as "hh:mm:ss.cc".
std::string FrameToRealTime(const TFrameInfo& info, int64_t frame);
// The first frame that starts at or after the text's time, so that the text FrameToRealTime gives
// reads back as its own frame wherever frames last longer than a hundredth. The fields are read
// as TimeCodeToFrame reads them (ConversionError included); "00:00:00.00", a format without a
// rate and a time before 0 give frame 0; a frame beyond the 32-bit range saturates.
int32_t RealTimeToFrame(const TFrameInfo& info, const std::string& text);

}  // namespace sw
