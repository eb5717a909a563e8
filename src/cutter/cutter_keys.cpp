#include "cutter/cutter_keys.h"

#include "player/player_mode.h"

namespace sw {

CutterCommand CommandForKey(CutterKey key) {
    switch (key) {
        case CutterKey::Pad0:
            return CutterCommand::KnobToZero;
        case CutterKey::Pad1:
            return CutterCommand::Play;
        case CutterKey::Pad2:
            return CutterCommand::Cue;
        case CutterKey::Pad3:
            return CutterCommand::Pause;
        case CutterKey::Pad4:
            return CutterCommand::SetMarkIn;
        case CutterKey::Pad5:
            return CutterCommand::PlayMark;
        case CutterKey::Pad6:
            return CutterCommand::SetMarkOut;
        case CutterKey::Pad7:
            return CutterCommand::JumpToMarkIn;
        case CutterKey::Pad8:
            return CutterCommand::JumpDialog;
        case CutterKey::Pad9:
            return CutterCommand::JumpToMarkOut;
        case CutterKey::PadMultiply:
            return CutterCommand::PositionToCueList;
        case CutterKey::PadAdd:
            return CutterCommand::StepForward;
        case CutterKey::PadSubtract:
            return CutterCommand::StepBack;
        case CutterKey::PadDivide:
            return CutterCommand::SelectionToCueList;
        case CutterKey::PadDecimal:
            return CutterCommand::Stop;
        case CutterKey::PadEnter:
            return CutterCommand::UpdateCue;
        case CutterKey::None:
            break;
    }
    return CutterCommand::None;
}

std::optional<int64_t> KeypadStep(CutterCommand command, int32_t playerMode, int32_t numBuffers) {
    const bool playing = playerMode == kModePlayAll || playerMode == kModePlayMark;
    const bool holding = playerMode == kModeCueing || playerMode == kModePausing;
    if (command == CutterCommand::StepForward) {
        if (playing) {
            return 10;
        }
        if (holding) {
            return 1;
        }
    } else if (command == CutterCommand::StepBack) {
        if (playing) {
            return -(int64_t(numBuffers) + 10);
        }
        if (holding) {
            return -1;
        }
    }
    return std::nullopt;
}

const char* CutterKeyName(CutterKey key) {
    static constexpr const char* kNames[] = {
        "none",     "keypad 0", "keypad 1", "keypad 2", "keypad 3",    "keypad 4",
        "keypad 5", "keypad 6", "keypad 7", "keypad 8", "keypad 9",    "keypad *",
        "keypad +", "keypad -", "keypad /", "keypad .", "keypad Enter"};
    return kNames[static_cast<int>(key)];
}

}  // namespace sw
