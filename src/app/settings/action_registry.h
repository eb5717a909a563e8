#pragma once

#include <string>
#include <vector>

namespace sw {

// Every application shortcut, registered once by the objectName of its action. Windows make
// their actions through RegisteredAction (registered_action.h), which looks the key up here, so
// no key is written anywhere else and two actions can never be given the same key unnoticed.
// The cutter's keys on the main keyboard are here too, under the names cutter/cutter_keys.h
// answers them by (they act only while the cutter's keyboard control is on); its numeric keypad
// table is its own dispatcher.
struct ActionShortcut {
    const char* objectName;
    const char* keys;  // in QKeySequence's portable text form
    const char* what;
};

const std::vector<ActionShortcut>& ActionShortcuts();

// The keys of an action, "" when it has none.
std::string ShortcutOf(const std::string& objectName);

}  // namespace sw
