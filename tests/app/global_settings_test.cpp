#include "app/global_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace sw {
namespace {

// Sets $TMPDIR for one test and puts the previous value back.
class TmpDirVariable {
  public:
    explicit TmpDirVariable(const char* value) {
        if (const char* old = std::getenv("TMPDIR")) {
            previous_ = old;
        }
        if (value != nullptr) {
            setenv("TMPDIR", value, 1);
        } else {
            unsetenv("TMPDIR");
        }
    }
    ~TmpDirVariable() {
        if (previous_) {
            setenv("TMPDIR", previous_->c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }

  private:
    std::optional<std::string> previous_;
};

TEST(SystemTempFolder, BlanksAroundTheVariableAreTrimmed) {
    // Temporary index files would otherwise go to a folder named " /scratch " that no one made.
    TmpDirVariable tmp("  /scratch/tmp \t");
    EXPECT_EQ(SystemTempFolder(), "/scratch/tmp");
    EXPECT_EQ(DefaultGlobalSettings().TempFolder, "/scratch/tmp");
}

TEST(SystemTempFolder, UnsetEmptyOrBlankVariableMeansTmp) {
    for (const char* value : {static_cast<const char*>(nullptr), "", "   "}) {
        TmpDirVariable tmp(value);
        EXPECT_EQ(SystemTempFolder(), "/tmp");
    }
}

TEST(DefaultGlobalSettings, DefaultsOfTheSettingsTable) {
    // Catches a default that drifted from what the other windows were designed around.
    const TGlobalSettings d = DefaultGlobalSettings();
    EXPECT_TRUE(d.ShowCutterTime);
    EXPECT_FALSE(d.CutterKBControl);
    EXPECT_TRUE(d.CutterAutoPlay);
    EXPECT_TRUE(d.CutterLooped);
    EXPECT_FALSE(d.CutterMuted);
    EXPECT_FALSE(d.CheckMatch);
    EXPECT_TRUE(d.SaveIndexStream);
    EXPECT_FALSE(d.IndexAsFileStream);
    EXPECT_EQ(d.AutocutThreshold, 20);
    EXPECT_EQ(d.PlayerWaveOut, -1);
    EXPECT_EQ(d.PlayerVolume, 0x8000);
    EXPECT_EQ(d.CueBuffers, 6);
    EXPECT_EQ(d.NumBuffers, 16);
    EXPECT_EQ(d.JogMaxSpeed, 100);
    EXPECT_EQ(d.SplashDelay, 2500);
    EXPECT_EQ(d.TimesExecuted, 1);
    EXPECT_EQ(d.PlayerPriority, 3);
    EXPECT_EQ(d.LastUpdateCheck, 0.0);
    EXPECT_TRUE(d.LastOpenFolder.empty());
    EXPECT_TRUE(d.LastSaveFolder.empty());
    EXPECT_FALSE(d.Email.empty());
    EXPECT_FALSE(d.UpdatesURL.empty());
}

}  // namespace
}  // namespace sw
