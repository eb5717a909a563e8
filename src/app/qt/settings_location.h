#pragma once

#include <QSettings>
#include <memory>

namespace sw {

// The per-user settings store: an INI file in the XDG config folder
// ($XDG_CONFIG_HOME/Harrowlight/Slicewell.conf) on Linux, the registry key
// Software\Harrowlight\Slicewell on Windows. Tests redirect it with QSettings::setPath.
std::unique_ptr<QSettings> OpenSettingsStore();

// Whether the store can be read, and written once it exists or could be created. Checking
// creates the store's folder when it is missing.
bool SettingsStoreUsable(QSettings& store);

}  // namespace sw
