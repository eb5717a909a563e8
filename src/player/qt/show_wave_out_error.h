#pragma once

#include "player/qt/wave_out.h"
#include "stream/prompts.h"

namespace sw {

// Shows the service's text for an error code in an error box captioned "Error message", or
// "An unknown error occured" when the service has no text for it. Code 0 shows nothing.
void ShowWaveOutError(Prompts& prompts, WaveOut& waveOut, int code);

}  // namespace sw
