#include "app/placement_rules.h"

#include <algorithm>

namespace sw {

namespace {

// The workspace's free band right of and below the lowest child window.
constexpr int kMargin = 5;

// A start that puts the window's far edge at the area's far edge, or at the area's start when
// the window is the area's size.
int Within(int start, int length, int areaStart, int areaLength) {
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

}  // namespace

WindowRect FitIntoArea(WindowRect window, WindowRect area) {
    if (area.width <= 0 || area.height <= 0) {
        return window;
    }
    window.width = std::min(window.width, area.width);
    window.height = std::min(window.height, area.height);
    window.left = Within(window.left, window.width, area.left, area.width);
    window.top = Within(window.top, window.height, area.top, area.height);
    return window;
}

WindowRect FirstStartFrame(WindowRect designed, int childrenRight, int childrenBottom,
                           int chromeWidth, int chromeHeight, WindowRect area) {
    designed.width = std::max(designed.width, childrenRight + kMargin + chromeWidth);
    designed.height = std::max(designed.height, childrenBottom + kMargin + chromeHeight);
    return FitIntoArea(designed, area);
}

}  // namespace sw
