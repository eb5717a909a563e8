#include "stream/time_code.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "stream/file_errors.h"

namespace sw {
namespace {

const char kZeroTimeCode[] = "00:00:00.00";

std::string TimeCodeText(int64_t a, int64_t b, int64_t c, int64_t d) {
    char text[96];
    std::snprintf(text, sizeof text, "%.2lld:%.2lld:%.2lld.%.2lld", static_cast<long long>(a),
                  static_cast<long long>(b), static_cast<long long>(c), static_cast<long long>(d));
    return text;
}

// Fixed two-character field starting at index; missing characters make it shorter, as a
// substring of a short text would be, and so fail to convert.
int32_t Field(const std::string& text, size_t index) {
    return StrToInt(index < text.size() ? text.substr(index, 2) : std::string());
}

}  // namespace

int32_t StrToInt(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        throw ConversionError("'" + text + "' is not a valid integer value");
    }
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            throw ConversionError("'" + text + "' is not a valid integer value");
        }
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1) {
            throw ConversionError("'" + text + "' is not a valid integer value");
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int32_t>::max()) {
        throw ConversionError("'" + text + "' is not a valid integer value");
    }
    return static_cast<int32_t>(value);
}

int32_t FrameRate(const TFrameInfo& info) {
    if (info.Bitrate <= 0 || info.FrameLength <= 0) {
        return 0;
    }
    // nearbyint rounds in the default mode, to nearest with ties to even: 62.5 becomes 62. A
    // damaged record (a huge bitrate over a tiny length) saturates instead of overflowing the
    // conversion to an integer.
    const double rate = std::nearbyint(info.Bitrate * 1000.0 * 0.125 / info.FrameLength);
    return rate >= double(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                               : static_cast<int32_t>(rate);
}

std::string FrameToTimeCode(const TFrameInfo& info, int32_t frame) {
    const int64_t fps = FrameRate(info);
    // A rate that rounds to 0 (only from a damaged record) would divide by zero.
    if (fps <= 0) {
        return kZeroTimeCode;
    }
    const int64_t n = frame < 0 ? 0 : frame;
    const int64_t s = n / fps;
    const int64_t hours = s / 3600;
    const int64_t minutes = (s - hours * 3600) / 60;
    const int64_t seconds = s - hours * 3600 - minutes * 60;
    return TimeCodeText(hours, minutes, seconds, n % fps);
}

int32_t TimeCodeToFrame(const TFrameInfo& info, const std::string& text) {
    if (text == kZeroTimeCode) {
        return 0;
    }
    if (info.Bitrate <= 0 || info.FrameLength <= 0) {
        return 0;
    }
    const int64_t hours = Field(text, 0);
    const int64_t minutes = Field(text, 3);
    const int64_t seconds = Field(text, 6);
    const int64_t frames = Field(text, 9);
    const int64_t frame = (hours * 3600 + minutes * 60 + seconds) * FrameRate(info) + frames;
    if (frame > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (frame < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(frame);
}

int32_t FrameSamples(const TFrameInfo& info) {
    switch (info.Layer) {
        case 1:
            return 384;
        case 2:
            return 1152;
        case 3:
            return info.Version == 1 ? 1152 : (info.Version == 2 || info.Version == 3 ? 576 : 0);
        default:
            return 0;
    }
}

namespace {

// Ticks of one sample at the format's rate; 0 for a rate that no MPEG header gives (a damaged
// record), which would not divide the tick.
int64_t TicksPerSample(const TFrameInfo& info) {
    if (info.SampleRate <= 0 || kTicksPerSecond % info.SampleRate != 0) {
        return 0;
    }
    return kTicksPerSecond / info.SampleRate;
}

}  // namespace

int64_t FramesToTicks(const TFrameInfo& info, int64_t frames) {
    return frames * FrameSamples(info) * TicksPerSample(info);
}

std::string TicksToRealTime(int64_t ticks) {
    if (ticks <= 0) {
        return kZeroTimeCode;
    }
    const int64_t hundredths = ticks / (kTicksPerSecond / 100);
    const int64_t s = hundredths / 100;
    const int64_t hours = s / 3600;
    const int64_t minutes = (s - hours * 3600) / 60;
    return TimeCodeText(hours, minutes, s - hours * 3600 - minutes * 60, hundredths % 100);
}

std::string FrameToRealTime(const TFrameInfo& info, int64_t frame) {
    return TicksToRealTime(FramesToTicks(info, frame));
}

int32_t RealTimeToFrame(const TFrameInfo& info, const std::string& text) {
    if (text == kZeroTimeCode) {
        return 0;
    }
    const int64_t frameTicks = FramesToTicks(info, 1);
    if (frameTicks <= 0) {
        return 0;
    }
    const int64_t hours = Field(text, 0);
    const int64_t minutes = Field(text, 3);
    const int64_t seconds = Field(text, 6);
    const int64_t hundredths = Field(text, 9);
    const int64_t ticks =
        ((hours * 3600 + minutes * 60 + seconds) * 100 + hundredths) * (kTicksPerSecond / 100);
    if (ticks <= 0) {
        return 0;
    }
    const int64_t frame = (ticks + frameTicks - 1) / frameTicks;
    return static_cast<int32_t>(std::min<int64_t>(frame, std::numeric_limits<int32_t>::max()));
}

std::string PlayTimeToText(float seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) {
        return kZeroTimeCode;
    }
    // Beyond this the hours no longer fit a 64-bit integer's conversion: such a time can only
    // come from a damaged record, and saturates.
    constexpr double kLongest = 9007199254740992.0;  // 2^53 seconds, exact in a double
    const double time = std::min<double>(seconds, kLongest);
    const double whole = std::trunc(time);
    const auto w = static_cast<int64_t>(whole);
    const int64_t hours = w / 3600;
    const int64_t minutes = (w - hours * 3600) / 60;
    const int64_t secs = w - hours * 3600 - minutes * 60;
    const auto hundredths = static_cast<int64_t>(std::nearbyint((time - whole) * 99));
    return TimeCodeText(hours, minutes, secs, hundredths);
}

}  // namespace sw
