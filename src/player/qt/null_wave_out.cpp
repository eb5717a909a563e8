#include "player/qt/null_wave_out.h"

namespace sw {

int NullWaveOut::DeviceName(int, std::string& name) {
    name.clear();
    return kWaveBadDeviceId;
}

int NullWaveOut::Query(int, const MpegLayer3WaveFormat&) {
    return kWaveNoDriver;
}

int NullWaveOut::Open(int, const MpegLayer3WaveFormat&) {
    return kWaveNoDriver;
}

int NullWaveOut::Write(std::unique_ptr<WaveBuffer>) {
    return kWaveInvalidHandle;
}

int NullWaveOut::GetVolume(uint32_t& volume) {
    volume = 0;
    return kWaveInvalidHandle;
}

std::string NullWaveOut::ErrorText(int code) {
    if (code == kWaveNoDriver) {
        return "No audio output is available: no sound server (PulseAudio or PipeWire) could be "
               "reached";
    }
    return WaveOut::ErrorText(code);
}

}  // namespace sw
