#include "frame_range.h"

#include <charconv>

#include "cli_error.h"

namespace sw::cli {

namespace {

bool ParseFrameNumber(const std::string& text, int32_t& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

FrameRange ParseFrameRange(const std::string& text) {
    const size_t dash = text.find('-');
    FrameRange range;
    if (dash == std::string::npos || !ParseFrameNumber(text.substr(0, dash), range.first) ||
        !ParseFrameNumber(text.substr(dash + 1), range.last)) {
        throw UsageError("invalid range '" + text +
                         "': expected FIRST-LAST, two frame numbers from 0");
    }
    return range;
}

void CheckFrameRange(const FrameRange& range, int32_t frameCount) {
    if (range.first > range.last) {
        throw UsageError("range " + std::to_string(range.first) + "-" + std::to_string(range.last) +
                         ": FIRST is after LAST");
    }
    if (range.last >= frameCount) {
        throw UsageError("range " + std::to_string(range.first) + "-" + std::to_string(range.last) +
                         " reaches past the last frame (" + std::to_string(frameCount - 1) + ")");
    }
}

}  // namespace sw::cli
