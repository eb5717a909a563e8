// Where windows open: a stored placement kept on the screen, the frame's size at a first start.
#include "app/placement_rules.h"

#include <gtest/gtest.h>

namespace sw {
namespace {

TEST(Placement, AStoredPlacementTooLargeOrOffTheAreaIsShrunkAndMovedOntoIt) {
    // A placement saved at another scale opened at 3200 x 1962 on a 1600 x 1000 screen, its
    // edges and close box out of reach.
    const WindowRect area{0, 30, 1600, 970};
    EXPECT_EQ(FitIntoArea({0, 0, 3200, 1962}, area), (WindowRect{0, 30, 1600, 970}));
    EXPECT_EQ(FitIntoArea({1500, 900, 400, 300}, area), (WindowRect{1200, 700, 400, 300}));
    EXPECT_EQ(FitIntoArea({-50, 100, 400, 300}, area), (WindowRect{0, 100, 400, 300}));
    EXPECT_EQ(FitIntoArea({100, 100, 400, 300}, area), (WindowRect{100, 100, 400, 300}));
    EXPECT_EQ(FitIntoArea({100, 100, 400, 300}, {}), (WindowRect{100, 100, 400, 300}))
        << "no screen known: left as stored";
}

TEST(Placement, AFirstStartGrowsToShowTheChildWindowsButStaysOnTheScreen) {
    // The designed 640 x 480 cut off the cutter's right edge and the cue list's totals.
    const WindowRect designed{0, 0, 640, 480};
    EXPECT_EQ(FirstStartFrame(designed, 655, 450, 2, 80, {0, 0, 1280, 800}),
              (WindowRect{0, 0, 662, 535}));
    EXPECT_EQ(FirstStartFrame(designed, 300, 200, 2, 80, {0, 0, 1280, 800}), designed)
        << "never smaller than designed";
    EXPECT_EQ(FirstStartFrame(designed, 655, 450, 2, 80, {0, 0, 600, 500}),
              (WindowRect{0, 0, 600, 500}));
}

}  // namespace
}  // namespace sw
