#pragma once

namespace sw {

// Fills GlobalSettings() from the per-user settings store, value by value, each missing or
// unreadable value taking its default. waveOutDeviceCount is the number of wave-output devices
// present now: a stored device number the machine no longer has becomes -1, the default device.
// False when the store can neither be read nor created; the record then holds the defaults.
bool LoadGlobalSettings(int waveOutDeviceCount);

// Writes every value of GlobalSettings() to the store. False when the store could not be
// written; the previous store is then left as it was.
bool SaveGlobalSettings();

}  // namespace sw
