#include "app/qt/settings_store.h"

#include <QString>
#include <limits>

#include "app/date_time.h"
#include "app/qt/settings_location.h"
#include "app/qt/stored_values.h"
#include "app/settings/global_settings.h"

namespace sw {

namespace {

constexpr int32_t kHighestPriority = 6;  // time-critical

void ReadString(const QSettings& store, const char* name, std::string& field) {
    if (std::optional<std::string> value = StoredString(store, QString::fromLatin1(name))) {
        field = std::move(*value);
    }
}

void ReadBool(const QSettings& store, const char* name, bool& field) {
    if (std::optional<bool> value = StoredBool(store, QString::fromLatin1(name))) {
        field = *value;
    }
}

void ReadInt(const QSettings& store, const char* name, int32_t& field) {
    if (std::optional<int32_t> value = StoredInt(store, QString::fromLatin1(name))) {
        field = *value;
    }
}

// The device the player opens must exist now; -1 is always there.
int32_t CheckedDevice(int32_t stored, int waveOutDeviceCount) {
    if (stored < -1 || stored >= waveOutDeviceCount) {
        return -1;
    }
    return stored;
}

// A buffer count below one would leave the player unable to queue a single frame.
int32_t CheckedBufferCount(int32_t stored, int32_t fallback) {
    return stored >= 1 ? stored : fallback;
}

// The program's build date is the earliest date a check for a newer version can sensibly date
// from.
double NotBeforeExecutable(double lastCheck) {
    const double built = ExecutableModificationDays();
    return lastCheck < built ? built : lastCheck;
}

void ReadValues(const QSettings& store, int waveOutDeviceCount, TGlobalSettings& s) {
    ReadString(store, "Email", s.Email);
    ReadString(store, "SlicewellURL", s.SlicewellURL);
    ReadString(store, "DownloadURL", s.DownloadURL);
    ReadString(store, "UpdatesURL", s.UpdatesURL);
    ReadString(store, "TempFolder", s.TempFolder);
    ReadString(store, "LastOpenFolder", s.LastOpenFolder);
    ReadString(store, "LastSaveFolder", s.LastSaveFolder);
    ReadBool(store, "ShowCutterTime", s.ShowCutterTime);
    ReadBool(store, "RealTimeCodes", s.RealTimeCodes);
    ReadBool(store, "CutterKBControl", s.CutterKBControl);
    ReadBool(store, "CutterAutoPlay", s.CutterAutoPlay);
    ReadBool(store, "CutterLooped", s.CutterLooped);
    ReadBool(store, "CutterMuted", s.CutterMuted);
    ReadBool(store, "CheckMatch", s.CheckMatch);
    ReadBool(store, "SaveIndexStream", s.SaveIndexStream);
    ReadBool(store, "IndexAsFileStream", s.IndexAsFileStream);
    ReadBool(store, "CleanCuts", s.CleanCuts);
    ReadInt(store, "AutocutThreshold", s.AutocutThreshold);
    ReadInt(store, "PlayerWaveOut", s.PlayerWaveOut);
    s.PlayerWaveOut = CheckedDevice(s.PlayerWaveOut, waveOutDeviceCount);
    ReadInt(store, "PlayerVolume", s.PlayerVolume);
    const TGlobalSettings defaults = DefaultGlobalSettings();
    ReadInt(store, "CueBuffers", s.CueBuffers);
    s.CueBuffers = CheckedBufferCount(s.CueBuffers, defaults.CueBuffers);
    ReadInt(store, "NumBuffers", s.NumBuffers);
    s.NumBuffers = CheckedBufferCount(s.NumBuffers, defaults.NumBuffers);
    ReadInt(store, "JogMaxSpeed", s.JogMaxSpeed);
    ReadInt(store, "SplashDelay", s.SplashDelay);

    // This start counts too; the count saturates rather than wrapping to a negative number.
    int32_t times = 0;
    ReadInt(store, "TimesExecuted", times);
    s.TimesExecuted = times < std::numeric_limits<int32_t>::max() ? times + 1 : times;

    // The record keeps the priority in one byte; a number outside the seven levels would wrap
    // into a level nobody chose.
    int32_t priority = s.PlayerPriority;
    ReadInt(store, "PlayerPriority", priority);
    if (priority >= 0 && priority <= kHighestPriority) {
        s.PlayerPriority = static_cast<uint8_t>(priority);
    }

    // Four choices; any other number would name a choice that does not exist.
    int32_t pieceTags = s.PieceTags;
    ReadInt(store, "PieceTags", pieceTags);
    if (pieceTags >= 0 && pieceTags <= 3) {
        s.PieceTags = pieceTags;
    }

    if (std::optional<double> lastCheck =
            StoredDateTime(store, QStringLiteral("LastUpdateCheck"))) {
        s.LastUpdateCheck = *lastCheck;
    }
}

}  // namespace

bool LoadGlobalSettings(int waveOutDeviceCount) {
    TGlobalSettings& settings = GlobalSettings();
    settings = DefaultGlobalSettings();

    std::unique_ptr<QSettings> store = OpenSettingsStore();
    const bool usable = SettingsStoreUsable(*store);
    if (usable) {
        ReadValues(*store, waveOutDeviceCount, settings);
    }
    // Also on defaults: a first start without a store dates its last check from the build too.
    settings.LastUpdateCheck = NotBeforeExecutable(settings.LastUpdateCheck);
    return usable;
}

bool SaveGlobalSettings() {
    const TGlobalSettings& s = GlobalSettings();
    std::unique_ptr<QSettings> store = OpenSettingsStore();
    if (store->status() != QSettings::NoError) {
        return false;
    }
    const auto text = [](const std::string& value) { return QString::fromStdString(value); };
    const auto flag = [](bool value) { return value ? 1 : 0; };

    store->setValue(QStringLiteral("CutterAutoPlay"), flag(s.CutterAutoPlay));
    store->setValue(QStringLiteral("CutterLooped"), flag(s.CutterLooped));
    store->setValue(QStringLiteral("CutterMuted"), flag(s.CutterMuted));
    store->setValue(QStringLiteral("ShowCutterTime"), flag(s.ShowCutterTime));
    store->setValue(QStringLiteral("RealTimeCodes"), flag(s.RealTimeCodes));
    store->setValue(QStringLiteral("CutterKBControl"), flag(s.CutterKBControl));
    store->setValue(QStringLiteral("CheckMatch"), flag(s.CheckMatch));
    store->setValue(QStringLiteral("SaveIndexStream"), flag(s.SaveIndexStream));
    store->setValue(QStringLiteral("IndexAsFileStream"), flag(s.IndexAsFileStream));
    store->setValue(QStringLiteral("CleanCuts"), flag(s.CleanCuts));
    store->setValue(QStringLiteral("Email"), text(s.Email));
    store->setValue(QStringLiteral("SlicewellURL"), text(s.SlicewellURL));
    store->setValue(QStringLiteral("DownloadURL"), text(s.DownloadURL));
    store->setValue(QStringLiteral("UpdatesURL"), text(s.UpdatesURL));
    store->setValue(QStringLiteral("TempFolder"), text(s.TempFolder));
    store->setValue(QStringLiteral("LastOpenFolder"), text(s.LastOpenFolder));
    store->setValue(QStringLiteral("LastSaveFolder"), text(s.LastSaveFolder));
    store->setValue(QStringLiteral("AutocutThreshold"), s.AutocutThreshold);
    store->setValue(QStringLiteral("PlayerPriority"), static_cast<int>(s.PlayerPriority));
    store->setValue(QStringLiteral("PieceTags"), s.PieceTags);
    store->setValue(QStringLiteral("PlayerWaveOut"), s.PlayerWaveOut);
    store->setValue(QStringLiteral("PlayerVolume"), s.PlayerVolume);
    store->setValue(QStringLiteral("CueBuffers"), s.CueBuffers);
    store->setValue(QStringLiteral("NumBuffers"), s.NumBuffers);
    store->setValue(QStringLiteral("JogMaxSpeed"), s.JogMaxSpeed);
    store->setValue(QStringLiteral("SplashDelay"), s.SplashDelay);
    store->setValue(QStringLiteral("TimesExecuted"), s.TimesExecuted);
    store->setValue(QStringLiteral("LastUpdateCheck"), DateTimeValue(s.LastUpdateCheck));

    store->sync();
    return store->status() == QSettings::NoError;
}

}  // namespace sw
