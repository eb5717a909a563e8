#include <cstdio>

#include "commands.h"
#include "options.h"

#ifdef SLICEWELL_WITH_PLAYER
#include "player/qt/pulse_wave_out.h"
#endif

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli devices\n"
    "\n"
    "Lists the audio output devices that 'play --device N' accepts: -1 is the sound server's\n"
    "default device, 0 and up are its devices (sinks) with their names.\n";

}  // namespace

int RunDevices(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(args, {}, 0, 0);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
#ifdef SLICEWELL_WITH_PLAYER
    PulseWaveOut out;
    const bool reachable = out.Connect() == kWaveOk;
    std::printf("%3d  %s\n", -1, "Default device");
    if (!reachable) {
        std::fprintf(stderr, "slicewell-cli: %s\n", out.ErrorText(kWaveNoDriver).c_str());
        return 0;
    }
    const int count = out.DeviceCount();
    for (int device = 0; device < count; ++device) {
        std::string name;
        out.DeviceName(device, name);
        std::printf("%3d  %s\n", device, name.c_str());
    }
    return 0;
#elif defined(SLICEWELL_PLAYBACK_VIA_EXEC)
    return RunInPlaybackTool("devices", args);
#else
    std::fprintf(stderr, "slicewell-cli: playback is not built into this slicewell-cli\n");
    return 1;
#endif
}

}  // namespace sw::cli
