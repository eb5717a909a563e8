#include "app/settings/global_settings.h"

namespace sw {

TGlobalSettings& GlobalSettings() {
    static TGlobalSettings settings;
    return settings;
}

TGlobalSettings DefaultGlobalSettings() {
    TGlobalSettings s;
    s.Email = "support@slicewell.example.org";
    s.SlicewellURL = "https://slicewell.example.org/";
    s.DownloadURL = "https://slicewell.example.org/download/";
    s.UpdatesURL = "https://slicewell.example.org/updates/slicewell4.upd";
    s.TempFolder = SystemTempFolder();
    s.ShowCutterTime = true;
    s.RealTimeCodes = true;
    s.CutterKBControl = false;
    s.CutterAutoPlay = true;
    s.CutterLooped = true;
    s.CutterMuted = false;
    s.CheckMatch = false;
    s.SaveIndexStream = true;
    s.IndexAsFileStream = false;
    s.CleanCuts = true;
    s.AutocutThreshold = 20;
    s.PlayerWaveOut = -1;
    s.PlayerVolume = 0x8000;
    s.CueBuffers = 6;
    s.NumBuffers = 16;
    s.JogMaxSpeed = 100;
    s.SplashDelay = 2500;
    s.TimesExecuted = 1;
    s.PlayerPriority = 3;
    s.PieceTags = 3;
    s.LastUpdateCheck = 0;
    return s;
}

CutObjectOptions CutObjectOptionsOf(const TGlobalSettings& settings) {
    return {settings.IndexAsFileStream, settings.TempFolder};
}

}  // namespace sw
