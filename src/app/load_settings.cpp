#include "app/load_settings.h"

#include "app/settings_store.h"
#include "player/wave_out_factory.h"

namespace sw {

bool LoadGlobalSettings() {
    return LoadGlobalSettings(WaveOutDeviceCount());
}

}  // namespace sw
