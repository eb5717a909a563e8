#include "cutter/jump_fields.h"

#include <limits>

#include "stream/time_code.h"

namespace sw::jump {

TFrameInfo DefaultFrameInfo() {
    TFrameInfo info{};
    info.Bitrate = 128;
    info.FrameLength = 418;
    return info;
}

std::optional<int32_t> FrameFieldValue(std::string_view text) {
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<int32_t>(value);
}

bool FrameFieldTakes(char32_t character) {
    return (character >= U'0' && character <= U'9') || character == U'\b';
}

std::string TimeFieldCode(const TFrameInfo& info, int32_t frame, bool realTime) {
    if (realTime) {
        const int64_t frameTicks = FramesToTicks(info, 1);
        const int64_t hundredHours = int64_t(100) * 3600 * kTicksPerSecond;
        if (frameTicks > 0 && FramesToTicks(info, frame) >= hundredHours) {
            frame = static_cast<int32_t>((hundredHours - 1) / frameTicks);
        }
        return FrameToRealTime(info, frame);
    }
    const int64_t fps = FrameRate(info);
    const int64_t hundredHours = int64_t(100) * 3600 * fps;
    if (fps > 0 && frame >= hundredHours) {
        frame = static_cast<int32_t>(hundredHours - 1);
    }
    return FrameToTimeCode(info, frame);
}

int32_t TimeFieldFrame(const TFrameInfo& info, const std::string& text, bool realTime) {
    return realTime ? RealTimeToFrame(info, text) : TimeCodeToFrame(info, text);
}

std::string TimeFieldText(std::string_view shown, char blank) {
    std::string text(shown);
    for (char& c : text) {
        if (c == blank) {
            c = '0';
        }
    }
    return text;
}

}  // namespace sw::jump
