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

}  // namespace sw
