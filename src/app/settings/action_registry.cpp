#include "app/settings/action_registry.h"

namespace sw {

const std::vector<ActionShortcut>& ActionShortcuts() {
    static const std::vector<ActionShortcut> shortcuts = {
        {"NewAction", "Ctrl+N", "start a new project"},
        {"OpenAction", "Ctrl+O", "open a project file"},
        {"SaveAction", "Ctrl+S", "save the project"},
        {"ImportAction", "Ctrl+I", "import files into the project bin"},
        {"ExportAction", "Ctrl+E", "export the cue list into one file"},
        {"ExitAction", "Alt+F4", "close the program"},
        {"ViewProjectBinAction", "F5", "hide or show the project bin"},
        {"ViewCutterAction", "F6", "hide or show the cutter"},
        {"ViewCueListAction", "F7", "hide or show the cue list"},
        {"ViewWaveformAction", "F8", "hide or show the waveform"},
        // The keypad has no free key left for it, and it opens a dialog: an ordinary key that
        // works whether or not the cutter's keyboard control is on, while the cutter has the
        // focus.
        {"CutterExportAction", "Ctrl+Shift+E", "export the cutter's marked selection to a file"},
        // The cutter's keypad commands for keyboards without a keypad.
        {"CutterPlayPauseKey", "Space", "cutter: play, or pause while playing"},
        {"CutterMarkInKey", "I", "cutter: set mark-in"},
        {"CutterMarkOutKey", "O", "cutter: set mark-out"},
        {"CutterSelectionToCueListKey", "Return", "cutter: put the selection on the cue list"},
        {"CutterFrameBackKey", "Left", "cutter: one frame back"},
        {"CutterFrameForwardKey", "Right", "cutter: one frame on"},
        {"CutterSecondBackKey", "Shift+Left", "cutter: one second back"},
        {"CutterSecondForwardKey", "Shift+Right", "cutter: one second on"},
        // While the waveform has the focus.
        {"WaveformZoomInAction", "+", "zoom the waveform in"},
        {"WaveformZoomOutAction", "-", "zoom the waveform out"},
        {"WaveformZoomToSelectionAction", "Z", "show the marked selection across the waveform"},
        {"WaveformWholeFileAction", "W", "show the whole file in the waveform"},
    };
    return shortcuts;
}

std::string ShortcutOf(const std::string& objectName) {
    for (const ActionShortcut& shortcut : ActionShortcuts()) {
        if (objectName == shortcut.objectName) {
            return shortcut.keys;
        }
    }
    return "";
}

}  // namespace sw
