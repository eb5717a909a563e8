#pragma once

namespace sw {

// A window's place and size in screen pixels, or a screen's available area.
struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// A top-level window's stored placement on the screen area it opens in: as large as stored but
// never larger than the area, and moved as little as needed to lie wholly inside it. A placement
// stored at another scale or on a larger screen would otherwise open partly out of reach.
WindowRect FitIntoArea(WindowRect window, WindowRect area);

// The frame window at a first start, without a stored placement: its designed place and size,
// grown so that its workspace shows the child windows whole at their designed places (their
// furthest right and bottom edges, childrenRight and childrenBottom, plus a margin), with chrome
// the frame's own width and height around the workspace (menu, toolbar, status bar, borders);
// then fitted into the screen's area.
WindowRect FirstStartFrame(WindowRect designed, int childrenRight, int childrenBottom,
                           int chromeWidth, int chromeHeight, WindowRect area);

}  // namespace sw
