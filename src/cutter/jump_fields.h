#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "stream/frame_header.h"

// The rules of the jump dialog's two entry fields, free of any toolkit.
namespace sw::jump {

// The frame description the dialog starts with, before the cutter gives it the file's: every
// field 0 except a bit rate of 128 and a frame length of 418 (38 frames per second).
TFrameInfo DefaultFrameInfo();

// Value of the frame field: 0 for an empty field, the number for decimal digits that fit a
// signed 32-bit frame, nothing for anything else (signs, spaces, letters, too large a number).
std::optional<int32_t> FrameFieldValue(std::string_view text);

// Whether a character typed into the frame field is taken: the digits 0 to 9 and backspace.
bool FrameFieldTakes(char32_t character);

// The time the time field shows for a frame: its true start time in hundredths when realTime,
// else the classic time code. The field holds two hour digits; a frame at or beyond 100 hours
// shows as the last frame before them, the furthest the field can express, rather than as a
// cut-off text that reads as a much earlier time.
std::string TimeFieldCode(const TFrameInfo& info, int32_t frame, bool realTime);
// The frame the time field's text stands for, read in the same form; throws ConversionError for
// a field that is not a number.
int32_t TimeFieldFrame(const TFrameInfo& info, const std::string& text, bool realTime);

// The time field's text as the conversion reads it: every unfilled position (blank) is a "0".
std::string TimeFieldText(std::string_view shown, char blank);

}  // namespace sw::jump
