#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// What a key does in the cutter.
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
    // The main keyboard's (CommandForKeys).
    PlayPause,  // pause while playing, else play (see PlayPauseCommand)
    FrameBack,  // see MainKeyStep
    FrameForward,
    SecondBack,
    SecondForward,
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

// The cutter's keys on the main keyboard, for keyboards without a keypad: Space, I, O, Return,
// Left, Right, Shift+Left and Shift+Right. Their keys stand in the program's one shortcut table
// (app/action_registry.h) under the names CutterKeyActionName gives; keys is a key combination
// in QKeySequence's portable text form ("Shift+Left"). None for any other keys. Every window
// that works on the cutter's file (the cutter, and views of it) answers keys through this.
CutterCommand CommandForKeys(std::string_view keys);
// The registry name of a main-keyboard command ("CutterPlayPauseKey"), "" for the others.
const char* CutterKeyActionName(CutterCommand command);
// The main-keyboard keys of a command in portable text, "" when it has none.
std::string KeysOfCommand(CutterCommand command);

// Space: pause while the whole file or the marked selection plays, else play the whole file.
CutterCommand PlayPauseCommand(int32_t playerMode);
// How far the arrows move the position: one frame, or with Shift one second of the file's whole
// frame rate (at least one frame); nothing for the other commands.
std::optional<int64_t> MainKeyStep(CutterCommand command, int32_t framesPerSecond);

}  // namespace sw
