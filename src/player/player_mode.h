#pragma once

#include <cstdint>

namespace sw {

enum PlayerMode : int32_t {
    kModeNone = 0,
    kModePlayAll = 1,
    kModePlayMark = 2,
    kModeCueing = 3,
    kModePausing = 4,
    kModeStopped = 5,
    kModeEnded = 6,
};

enum PlayerState : int32_t {
    kStateClosed = 0,
    kStateOpen = 1,
};

// Display names indexed by mode; the cutter's status bar shows them.
inline constexpr const char* kPlayerModeNames[7] = {"None",    "Play All", "Play Mark", "Cueing",
                                                    "Pausing", "Stopped",  "Ended"};

// The name of a mode, "" for a value outside 0..6.
inline const char* PlayerModeName(int32_t mode) {
    return mode >= 0 && mode <= 6 ? kPlayerModeNames[mode] : "";
}

}  // namespace sw
