#include "app/qt/settings_store.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QByteArray>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "app/date_time.h"
#include "app/double_bytes.h"
#include "app/qt/load_settings.h"
#include "app/settings/global_settings.h"
#include "settings_test_store.h"

namespace sw {
namespace {

using test::TestSettingsStore;

const char* const kValueNames[] = {
    "CutterAutoPlay",  "CutterLooped",     "CutterMuted",     "ShowCutterTime",    "RealTimeCodes",
    "CutterKBControl", "CheckMatch",       "SaveIndexStream", "IndexAsFileStream", "Email",
    "SlicewellURL",    "DownloadURL",      "UpdatesURL",      "TempFolder",        "LastOpenFolder",
    "LastSaveFolder",  "AutocutThreshold", "PlayerPriority",  "PlayerWaveOut",     "PlayerVolume",
    "CueBuffers",      "NumBuffers",       "JogMaxSpeed",     "SplashDelay",       "TimesExecuted",
    "LastUpdateCheck", "CleanCuts",        "PieceTags",
};

void ExpectSameValues(const TGlobalSettings& a, const TGlobalSettings& b) {
    EXPECT_EQ(a.Email, b.Email);
    EXPECT_EQ(a.SlicewellURL, b.SlicewellURL);
    EXPECT_EQ(a.DownloadURL, b.DownloadURL);
    EXPECT_EQ(a.UpdatesURL, b.UpdatesURL);
    EXPECT_EQ(a.TempFolder, b.TempFolder);
    EXPECT_EQ(a.LastOpenFolder, b.LastOpenFolder);
    EXPECT_EQ(a.LastSaveFolder, b.LastSaveFolder);
    EXPECT_EQ(a.ShowCutterTime, b.ShowCutterTime);
    EXPECT_EQ(a.RealTimeCodes, b.RealTimeCodes);
    EXPECT_EQ(a.CutterKBControl, b.CutterKBControl);
    EXPECT_EQ(a.CutterAutoPlay, b.CutterAutoPlay);
    EXPECT_EQ(a.CutterLooped, b.CutterLooped);
    EXPECT_EQ(a.CutterMuted, b.CutterMuted);
    EXPECT_EQ(a.CheckMatch, b.CheckMatch);
    EXPECT_EQ(a.SaveIndexStream, b.SaveIndexStream);
    EXPECT_EQ(a.IndexAsFileStream, b.IndexAsFileStream);
    EXPECT_EQ(a.CleanCuts, b.CleanCuts);
    EXPECT_EQ(a.AutocutThreshold, b.AutocutThreshold);
    EXPECT_EQ(a.PlayerWaveOut, b.PlayerWaveOut);
    EXPECT_EQ(a.PlayerVolume, b.PlayerVolume);
    EXPECT_EQ(a.CueBuffers, b.CueBuffers);
    EXPECT_EQ(a.NumBuffers, b.NumBuffers);
    EXPECT_EQ(a.JogMaxSpeed, b.JogMaxSpeed);
    EXPECT_EQ(a.SplashDelay, b.SplashDelay);
    EXPECT_EQ(a.TimesExecuted, b.TimesExecuted);
    EXPECT_EQ(a.PlayerPriority, b.PlayerPriority);
    EXPECT_EQ(a.PieceTags, b.PieceTags);
    EXPECT_EQ(a.LastUpdateCheck, b.LastUpdateCheck);
}

TEST(SettingsStore, EmptyStoreLoadsDefaultsAndSaveWritesEveryValue) {
    // A first start must run on the defaults, and the first shutdown must leave a complete store.
    TestSettingsStore store;
    ASSERT_TRUE(LoadGlobalSettings(2));

    TGlobalSettings expected = DefaultGlobalSettings();
    expected.LastUpdateCheck = ExecutableModificationDays();
    ExpectSameValues(GlobalSettings(), expected);

    ASSERT_TRUE(SaveGlobalSettings());
    auto saved = store.Open();
    for (const char* name : kValueNames) {
        EXPECT_TRUE(saved->contains(QString::fromLatin1(name))) << name;
    }
    EXPECT_EQ(saved->allKeys().size(), static_cast<qsizetype>(std::size(kValueNames)));
    EXPECT_EQ(saved->value("TimesExecuted").toInt(), 1);
}

TEST(SettingsStore, BooleansAndPriorityAreStoredAsIntegers) {
    // Stores shared with older versions hold 0/1, not "true"/"false".
    TestSettingsStore store;
    LoadGlobalSettings(0);
    GlobalSettings().CutterMuted = true;
    ASSERT_TRUE(SaveGlobalSettings());
    const std::string text = store.ReadText();
    EXPECT_NE(text.find("CutterMuted=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("CheckMatch=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("PlayerPriority=3\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("true"), std::string::npos) << text;
}

TEST(SettingsStore, EveryStartCountsButOnlyASavedRunKeepsTheCount) {
    TestSettingsStore store;
    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().TimesExecuted, 1);
    ASSERT_TRUE(SaveGlobalSettings());

    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().TimesExecuted, 2);
    // A start that only answered a command-line option ends without saving.
    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().TimesExecuted, 2);
    ASSERT_TRUE(SaveGlobalSettings());

    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().TimesExecuted, 3);
}

TEST(SettingsStore, StartCountSaturatesInsteadOfWrappingNegative) {
    TestSettingsStore store;
    store.WriteText("[General]\nTimesExecuted=2147483647\n");
    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().TimesExecuted, std::numeric_limits<int32_t>::max());
}

TEST(SettingsStore, DeviceTheMachineNoLongerHasBecomesTheDefaultDevice) {
    // Opening a device number that is gone would fail every playback until the user finds the
    // preferences.
    TestSettingsStore store;
    const struct {
        int stored;
        int devices;
        int loaded;
    } cases[] = {{3, 2, -1}, {2, 2, -1}, {1, 2, 1}, {0, 0, -1}, {-1, 2, -1}, {-7, 2, -1}};
    for (const auto& c : cases) {
        store.Open()->setValue("PlayerWaveOut", c.stored);
        LoadGlobalSettings(c.devices);
        EXPECT_EQ(GlobalSettings().PlayerWaveOut, c.loaded)
            << "stored " << c.stored << " with " << c.devices << " devices";
    }
}

TEST(SettingsStore, StartupLoadAsksTheSoundServerForItsDevices) {
    // Without a reachable sound server there are no devices, so a stored device falls back to
    // the default one instead of failing the first playback.
    TestSettingsStore store;
    const char* previous = std::getenv("PULSE_SERVER");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("PULSE_SERVER", "unix:/nonexistent/slicewell-test-no-server", 1);
    store.Open()->setValue("PlayerWaveOut", 0);
    EXPECT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(GlobalSettings().PlayerWaveOut, -1);
    if (previous != nullptr) {
        setenv("PULSE_SERVER", saved.c_str(), 1);
    } else {
        unsetenv("PULSE_SERVER");
    }
}

TEST(SettingsStore, EveryValueSurvivesSaveAndLoad) {
    // Catches a value written under one name and read under another, or a lossy conversion.
    TestSettingsStore store;
    LoadGlobalSettings(4);
    TGlobalSettings& s = GlobalSettings();
    s.Email = "someone@example.net";
    s.SlicewellURL = "https://a.example/";
    s.DownloadURL = "https://b.example/get";
    s.UpdatesURL = "https://c.example/u.upd";
    s.TempFolder = "/var/tmp/slicewell scratch";
    s.LastOpenFolder = "/home/me/Musik/Grüße, live; \"2024\"";  // comma: INI list syntax
    s.LastSaveFolder = "/home/me/=odd [name]";
    s.ShowCutterTime = false;
    s.RealTimeCodes = false;
    s.CutterKBControl = true;
    s.CutterAutoPlay = false;
    s.CutterLooped = false;
    s.CutterMuted = true;
    s.CheckMatch = true;
    s.SaveIndexStream = false;
    s.IndexAsFileStream = true;
    s.CleanCuts = false;
    s.AutocutThreshold = -5;
    s.PlayerWaveOut = 3;
    s.PlayerVolume = 0xFFFF;
    s.CueBuffers = 2;
    s.NumBuffers = 32;
    s.JogMaxSpeed = 250;
    s.SplashDelay = 0;
    s.TimesExecuted = 41;
    s.PlayerPriority = 6;
    s.PieceTags = 1;
    s.LastUpdateCheck = ExecutableModificationDays() + 12.75;
    const TGlobalSettings saved = s;
    ASSERT_TRUE(SaveGlobalSettings());

    s = TGlobalSettings{};
    ASSERT_TRUE(LoadGlobalSettings(4));
    TGlobalSettings expected = saved;
    expected.TimesExecuted = 42;
    ExpectSameValues(GlobalSettings(), expected);
}

TEST(SettingsStore, LastCheckIsStoredAsEightLittleEndianDoubleBytes) {
    TestSettingsStore store;
    LoadGlobalSettings(0);
    GlobalSettings().LastUpdateCheck = 2.0;
    ASSERT_TRUE(SaveGlobalSettings());
    const QByteArray bytes = store.Open()->value("LastUpdateCheck").toByteArray();
    EXPECT_EQ(bytes, QByteArray("\0\0\0\0\0\0\0\x40", 8));
}

TEST(SettingsStore, LastCheckIsNeverEarlierThanTheExecutable) {
    // A check dated before this build would offer the very version the user already runs.
    TestSettingsStore store;
    const double built = ExecutableModificationDays();
    ASSERT_GT(built, 0.0);
    const auto storeDate = [&](double days) {
        const std::array<uint8_t, 8> b = DoubleToBytes(days);
        store.Open()->setValue("LastUpdateCheck",
                               QByteArray(reinterpret_cast<const char*>(b.data()), 8));
    };

    storeDate(built - 300.5);
    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().LastUpdateCheck, built);

    storeDate(built + 3.25);
    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().LastUpdateCheck, built + 3.25);
}

TEST(SettingsStore, ValuesOfTheWrongTypeReadAsDefaults) {
    // A hand-edited store must not turn "abc" into 0 buffers or a 4-byte blob into a date.
    TestSettingsStore store;
    store.WriteText(
        "[General]\n"
        "AutocutThreshold=abc\n"
        "NumBuffers=12x\n"
        "PlayerVolume=99999999999\n"
        "JogMaxSpeed=\n"
        "CutterLooped=true\n"
        "CutterMuted=1.0\n"
        "Email=@ByteArray(x@y)\n"
        "LastOpenFolder=/a, /b\n"
        "TimesExecuted=many\n"
        "LastUpdateCheck=@ByteArray(1234)\n"
        "SplashDelay=@ByteArray(\\0\\0\\0\\0)\n");
    ASSERT_TRUE(LoadGlobalSettings(0));
    const TGlobalSettings d = DefaultGlobalSettings();
    const TGlobalSettings& s = GlobalSettings();
    EXPECT_EQ(s.AutocutThreshold, d.AutocutThreshold);
    EXPECT_EQ(s.NumBuffers, d.NumBuffers);
    EXPECT_EQ(s.PlayerVolume, d.PlayerVolume);
    EXPECT_EQ(s.JogMaxSpeed, d.JogMaxSpeed);
    EXPECT_EQ(s.CutterLooped, d.CutterLooped);
    EXPECT_EQ(s.CutterMuted, d.CutterMuted);
    EXPECT_EQ(s.Email, d.Email);
    EXPECT_EQ(s.LastOpenFolder, d.LastOpenFolder);
    EXPECT_EQ(s.TimesExecuted, 1);
    EXPECT_EQ(s.LastUpdateCheck, ExecutableModificationDays());
    EXPECT_EQ(s.SplashDelay, d.SplashDelay);
}

TEST(SettingsStore, HandWrittenNumbersAndBooleansAreAccepted) {
    TestSettingsStore store;
    store.WriteText(
        "[General]\n"
        "AutocutThreshold= 35 \n"
        "CutterMuted=7\n"
        "ShowCutterTime=0\n"
        "SplashDelay=-1\n"
        "Email=\n");
    ASSERT_TRUE(LoadGlobalSettings(0));
    EXPECT_EQ(GlobalSettings().AutocutThreshold, 35);
    EXPECT_TRUE(GlobalSettings().CutterMuted);  // any non-zero number is true
    EXPECT_FALSE(GlobalSettings().ShowCutterTime);
    EXPECT_EQ(GlobalSettings().SplashDelay, -1);
    EXPECT_EQ(GlobalSettings().Email, "");  // present but empty is the user's choice
}

TEST(SettingsStore, NonFiniteLastCheckReadsAsDefault) {
    // NaN compares false with everything: it would never be raised and never count days.
    TestSettingsStore store;
    const std::array<uint8_t, 8> nan = DoubleToBytes(std::numeric_limits<double>::quiet_NaN());
    store.Open()->setValue("LastUpdateCheck",
                           QByteArray(reinterpret_cast<const char*>(nan.data()), 8));
    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().LastUpdateCheck, ExecutableModificationDays());
}

TEST(SettingsStore, ValuesTheRecordCannotHoldReadAsDefaults) {
    // The priority is one byte: 259 would wrap to "Normal" and -1 to a level past the list.
    // Zero buffers would leave the player unable to queue a frame.
    TestSettingsStore store;
    for (int priority : {-1, 7, 259}) {
        store.WriteText("[General]\nPlayerPriority=" + std::to_string(priority) +
                        "\nNumBuffers=0\nCueBuffers=-3\nPieceTags=" + std::to_string(priority) +
                        "\n");
        LoadGlobalSettings(0);
        EXPECT_EQ(GlobalSettings().PlayerPriority, 3) << priority;
        EXPECT_EQ(GlobalSettings().PieceTags, 3) << priority;
        EXPECT_EQ(GlobalSettings().NumBuffers, 16);
        EXPECT_EQ(GlobalSettings().CueBuffers, 6);
    }
    store.WriteText("[General]\nPlayerPriority=6\nNumBuffers=1\nCueBuffers=1\n");
    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().PlayerPriority, 6);
    EXPECT_EQ(GlobalSettings().NumBuffers, 1);
    EXPECT_EQ(GlobalSettings().CueBuffers, 1);
}

TEST(SettingsStore, AbsentTempFolderIsTheTrimmedSystemFolder) {
    TestSettingsStore store;
    const char* old = std::getenv("TMPDIR");
    const std::string previous = old != nullptr ? old : "";
    setenv("TMPDIR", " /scratch ", 1);
    LoadGlobalSettings(0);
    EXPECT_EQ(GlobalSettings().TempFolder, "/scratch");
    if (old != nullptr) {
        setenv("TMPDIR", previous.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

TEST(SettingsStore, StoreThatCannotBeCreatedLoadsDefaultsAndSaveReportsFailure) {
    // The caller shows "Error retrieving/storing global settings..." only if these say so.
    TestSettingsStore store;
    store.MakeUncreatable();
    GlobalSettings().AutocutThreshold = 99;
    EXPECT_FALSE(LoadGlobalSettings(0));
    EXPECT_EQ(GlobalSettings().AutocutThreshold, 20);
    EXPECT_EQ(GlobalSettings().TimesExecuted, 1);
    EXPECT_FALSE(SaveGlobalSettings());
}

TEST(SettingsStore, ReadOnlyStoreStillLoadsTheUsersValues) {
    // Only the save can fail on a store that cannot be written; the values it holds are good.
    TestSettingsStore store;
    store.WriteText("[General]\nAutocutThreshold=44\n");
    ASSERT_EQ(chmod(store.FileName().toLocal8Bit().constData(), 0444), 0);
    EXPECT_TRUE(LoadGlobalSettings(0));
    EXPECT_EQ(GlobalSettings().AutocutThreshold, 44);
}

}  // namespace
}  // namespace sw
