#include "player/qt/wave_out_factory.h"

#include "player/qt/null_wave_out.h"
#include "player/qt/pulse_wave_out.h"

namespace sw {

std::unique_ptr<WaveOut> CreateWaveOut() {
    auto pulse = std::make_unique<PulseWaveOut>();
    if (pulse->Connect() == kWaveOk) {
        return pulse;
    }
    return std::make_unique<NullWaveOut>();
}

int WaveOutDeviceCount() {
    PulseWaveOut pulse;
    return pulse.Connect() == kWaveOk ? pulse.DeviceCount() : 0;
}

std::vector<std::string> WaveOutDeviceNames() {
    std::vector<std::string> names;
    PulseWaveOut pulse;
    if (pulse.Connect() != kWaveOk) {
        return names;
    }
    const int count = pulse.DeviceCount();
    for (int device = 0; device < count; ++device) {
        std::string name;
        pulse.DeviceName(device, name);
        names.push_back(name);
    }
    return names;
}

}  // namespace sw
