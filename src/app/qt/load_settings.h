#pragma once

namespace sw {

// LoadGlobalSettings with the number of wave-output devices the sound server offers now.
bool LoadGlobalSettings();

}  // namespace sw
