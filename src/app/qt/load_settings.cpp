#include "app/qt/load_settings.h"

#include "app/qt/settings_store.h"
#include "player/qt/wave_out_factory.h"

namespace sw {

bool LoadGlobalSettings() {
    return LoadGlobalSettings(WaveOutDeviceCount());
}

}  // namespace sw
