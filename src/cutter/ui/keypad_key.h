#pragma once

#include "cutter/cutter_keys.h"

class QKeyEvent;

namespace sw {

// The keypad key a Qt key event stands for. Qt marks keypad keys with the keypad modifier; with
// Num Lock off the digit keys arrive as navigation keys (Insert, End, Down ... PageUp, Clear for
// 5, Delete for the point), and both readings give the same keypad key. A key without the keypad
// modifier - the digits and arrows of the main keyboard - is None.
CutterKey KeypadKeyOf(const QKeyEvent& event);

// The cutter's command for a key event: a keypad key's from the keypad table, else the main
// keyboard's (CommandForKeys) for the key with Shift, Ctrl, Alt and Meta as pressed, so that
// Ctrl+I stays the import's. None for every other key.
CutterCommand CutterKeyCommand(const QKeyEvent& event);

}  // namespace sw
