#pragma once

#include <cstdint>
#include <optional>

namespace sw {

// The keys of the numeric keypad the cutter listens to, whatever Num Lock says: the window code
// turns a keypad key event into one of these, and every other key into None, so that the same
// digits on the main keyboard never act.
enum class CutterKey {
    None,
    Pad0,
    Pad1,
    Pad2,
    Pad3,
    Pad4,
    Pad5,
    Pad6,
    Pad7,
    Pad8,
    Pad9,
    PadMultiply,
    PadAdd,
    PadSubtract,
    PadDivide,
    PadDecimal,
    PadEnter,
};

// What a keypad key does in the cutter.
enum class CutterCommand {
    None,
    KnobToZero,
    Play,
    Cue,
    Pause,
    SetMarkIn,
    PlayMark,
    SetMarkOut,
    JumpToMarkIn,
    JumpDialog,
    JumpToMarkOut,
    PositionToCueList,   // only while its button is enabled
    StepForward,         // by the mode: see KeypadStep
    StepBack,            // by the mode: see KeypadStep
    SelectionToCueList,  // only while its button is enabled
    Stop,
    UpdateCue,  // only while its button is enabled
};

// The cutter's keypad table. Stop and "Update currently playing cue" sit on the two keys the
// table leaves free (the decimal point and Enter); the export of the marked selection has an
// ordinary shortcut in the action registry instead, since it opens a dialog.
CutterCommand CommandForKey(CutterKey key);

// How far StepForward / StepBack move the position in the given player mode: 10 frames forward
// and NumBuffers + 10 back while playing (the audible frame trails the queue), one frame either
// way while cueing or paused, nothing in the other modes.
std::optional<int64_t> KeypadStep(CutterCommand command, int32_t playerMode, int32_t numBuffers);

// A short name of the key for documentation and tests ("keypad 5").
const char* CutterKeyName(CutterKey key);

}  // namespace sw
