#include "app/global_settings.h"

#include <cstdlib>

namespace sw {

TGlobalSettings& GlobalSettings() {
    static TGlobalSettings settings;
    return settings;
}

std::string SystemTempFolder() {
    // Blanks around the variable's value come from shell profiles, not from folder names.
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr ? tmp : "";
    const size_t first = folder.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "/tmp";
    }
    return folder.substr(first, folder.find_last_not_of(" \t") - first + 1);
}

TGlobalSettings DefaultGlobalSettings() {
    TGlobalSettings s;
    s.Email = "support@slicewell.example.org";
    s.SlicewellURL = "https://slicewell.example.org/";
    s.DownloadURL = "https://slicewell.example.org/download/";
    s.UpdatesURL = "https://slicewell.example.org/updates/slicewell4.upd";
    s.TempFolder = SystemTempFolder();
    s.ShowCutterTime = true;
    s.CutterKBControl = false;
    s.CutterAutoPlay = true;
    s.CutterLooped = true;
    s.CutterMuted = false;
    s.CheckMatch = false;
    s.SaveIndexStream = true;
    s.IndexAsFileStream = false;
    s.AutocutThreshold = 20;
    s.PlayerWaveOut = -1;
    s.PlayerVolume = 0x8000;
    s.CueBuffers = 6;
    s.NumBuffers = 16;
    s.JogMaxSpeed = 100;
    s.SplashDelay = 2500;
    s.TimesExecuted = 1;
    s.PlayerPriority = 3;
    s.LastUpdateCheck = 0;
    return s;
}

}  // namespace sw
