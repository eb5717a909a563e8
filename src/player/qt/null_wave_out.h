#pragma once

#include "player/qt/wave_out.h"

namespace sw {

// The service when no sound server can be reached: no devices, and opening fails with a text
// that says why, so the player reports the missing server instead of a format problem.
class NullWaveOut : public WaveOut {
  public:
    int DeviceCount() override { return 0; }
    int DeviceName(int device, std::string& name) override;
    int Query(int device, const MpegLayer3WaveFormat& format) override;
    int Open(int device, const MpegLayer3WaveFormat& format) override;
    int Close() override { return kWaveInvalidHandle; }
    int Write(std::unique_ptr<WaveBuffer> buffer) override;
    int Preroll(const uint8_t*, size_t) override { return kWaveInvalidHandle; }
    int Pause() override { return kWaveInvalidHandle; }
    int Restart() override { return kWaveInvalidHandle; }
    int Reset() override { return kWaveInvalidHandle; }
    int GetVolume(uint32_t& volume) override;
    int SetVolume(uint32_t) override { return kWaveInvalidHandle; }
    std::string ErrorText(int code) override;
};

}  // namespace sw
