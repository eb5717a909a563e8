#pragma once

#include <memory>
#include <string>
#include <vector>

#include "player/qt/wave_out.h"

namespace sw {

// The service to play through: the sound server when one answers, otherwise the null service
// (no devices; opening says that no server could be reached).
std::unique_ptr<WaveOut> CreateWaveOut();

// The number of output devices for the settings and the preferences; 0 without a server.
int WaveOutDeviceCount();
// Their product names, device 0 first.
std::vector<std::string> WaveOutDeviceNames();

}  // namespace sw
