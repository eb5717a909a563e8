#pragma once

#include <cstdint>
#include <string>

#include "stream/cut_object.h"
#include "stream/file_names.h"  // SystemTempFolder, the default of "TempFolder"

namespace sw {

// The process-wide settings record. Loaded once at start-up (settings_store.h), changed in memory
// by dialogs and windows on the GUI thread, saved once after a windowed run. Other threads only
// read it.
struct TGlobalSettings {
    std::string Email;
    std::string SlicewellURL;
    std::string DownloadURL;
    std::string UpdatesURL;
    std::string TempFolder;
    std::string LastOpenFolder;
    std::string LastSaveFolder;
    bool ShowCutterTime = false;
    // Times shown as the frames' true times in hundredths ("hh:mm:ss.cc"), or as the classic
    // count of frames within the second at a whole frame rate.
    bool RealTimeCodes = false;
    bool CutterKBControl = false;
    bool CutterAutoPlay = false;
    bool CutterLooped = false;
    bool CutterMuted = false;
    bool CheckMatch = false;
    bool SaveIndexStream = false;
    bool IndexAsFileStream = false;
    bool CleanCuts = false;  // exports get our header frame and lead-in (ExportStyle::Clean)
    int32_t AutocutThreshold = 0;
    int32_t PlayerWaveOut = 0;
    int32_t PlayerVolume = 0;
    int32_t CueBuffers = 0;
    int32_t NumBuffers = 0;
    int32_t JogMaxSpeed = 0;
    int32_t SplashDelay = 0;
    int32_t TimesExecuted = 0;
    uint8_t PlayerPriority = 0;  // 0 idle .. 3 normal .. 6 time-critical
    int32_t PieceTags = 0;       // tags of a folder export's pieces: 0 none, 1 v1, 2 v2, 3 both
    double LastUpdateCheck = 0;  // days since 1899-12-30, fraction = time of day
};

// The record every part of the program reads. Zero-filled until loaded.
TGlobalSettings& GlobalSettings();

// The record with every default, "TempFolder" being the system's temporary folder.
TGlobalSettings DefaultGlobalSettings();

// The options the stream model needs of this record, for CreateCutObject and LoadCutObject.
CutObjectOptions CutObjectOptionsOf(const TGlobalSettings& settings);

}  // namespace sw
