#include "cutter/cutter_keys.h"

#include "app/settings/action_registry.h"
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

namespace {

struct MainKey {
    CutterCommand command;
    const char* actionName;
};

constexpr MainKey kMainKeys[] = {
    {CutterCommand::PlayPause, "CutterPlayPauseKey"},
    {CutterCommand::SetMarkIn, "CutterMarkInKey"},
    {CutterCommand::SetMarkOut, "CutterMarkOutKey"},
    {CutterCommand::SelectionToCueList, "CutterSelectionToCueListKey"},
    {CutterCommand::FrameBack, "CutterFrameBackKey"},
    {CutterCommand::FrameForward, "CutterFrameForwardKey"},
    {CutterCommand::SecondBack, "CutterSecondBackKey"},
    {CutterCommand::SecondForward, "CutterSecondForwardKey"},
};

}  // namespace

CutterCommand CommandForKeys(std::string_view keys) {
    if (keys.empty()) {
        return CutterCommand::None;
    }
    for (const MainKey& key : kMainKeys) {
        if (ShortcutOf(key.actionName) == keys) {
            return key.command;
        }
    }
    return CutterCommand::None;
}

const char* CutterKeyActionName(CutterCommand command) {
    for (const MainKey& key : kMainKeys) {
        if (key.command == command) {
            return key.actionName;
        }
    }
    return "";
}

std::string KeysOfCommand(CutterCommand command) {
    const std::string name = CutterKeyActionName(command);
    return name.empty() ? std::string() : ShortcutOf(name);
}

CutterCommand PlayPauseCommand(int32_t playerMode) {
    return playerMode == kModePlayAll || playerMode == kModePlayMark ? CutterCommand::Pause
                                                                     : CutterCommand::Play;
}

std::optional<int64_t> MainKeyStep(CutterCommand command, int32_t framesPerSecond) {
    const int64_t second = framesPerSecond > 0 ? framesPerSecond : 1;
    switch (command) {
        case CutterCommand::FrameBack:
            return -1;
        case CutterCommand::FrameForward:
            return 1;
        case CutterCommand::SecondBack:
            return -second;
        case CutterCommand::SecondForward:
            return second;
        default:
            return std::nullopt;
    }
}

const char* CutterKeyName(CutterKey key) {
    static constexpr const char* kNames[] = {
        "none",     "keypad 0", "keypad 1", "keypad 2", "keypad 3",    "keypad 4",
        "keypad 5", "keypad 6", "keypad 7", "keypad 8", "keypad 9",    "keypad *",
        "keypad +", "keypad -", "keypad /", "keypad .", "keypad Enter"};
    return kNames[static_cast<int>(key)];
}

}  // namespace sw
