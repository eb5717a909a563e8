#include "player/qt/show_wave_out_error.h"

namespace sw {

namespace {
// The service's message buffer held this many characters.
constexpr size_t kMaxErrorText = 256;
}  // namespace

void ShowWaveOutError(Prompts& prompts, WaveOut& waveOut, int code) {
    if (code == 0) {
        return;
    }
    std::string text = waveOut.ErrorText(code);
    if (text.size() > kMaxErrorText) {
        text.resize(kMaxErrorText);
    }
    prompts.Error("Error message", text.empty() ? "An unknown error occured" : text);
}

}  // namespace sw
