// The one table of application shortcuts.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/settings/action_registry.h"

namespace sw::test {
namespace {

TEST(ActionRegistryTest, NoKeyAndNoActionIsRegisteredTwice) {
    // Two actions on one key: Qt then fires neither and reports an ambiguous shortcut.
    std::set<std::string> keys;
    std::set<std::string> names;
    for (const ActionShortcut& shortcut : ActionShortcuts()) {
        EXPECT_TRUE(keys.insert(shortcut.keys).second) << shortcut.keys;
        EXPECT_TRUE(names.insert(shortcut.objectName).second) << shortcut.objectName;
    }
    EXPECT_EQ(ShortcutOf("SaveAction"), "Ctrl+S");
    EXPECT_EQ(ShortcutOf("SaveAsAction"), "");
}

}  // namespace
}  // namespace sw::test
