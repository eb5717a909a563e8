#include "app/ui/preferences_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include "app/ui/project_properties_form.h"
#include "scripted_prompts.h"
#include "shell_test_support.h"

namespace sw {
namespace {

TGlobalSettings Settings() {
    TGlobalSettings settings = DefaultGlobalSettings();
    settings.TempFolder = "/var/tmp/cuts";
    settings.PlayerWaveOut = 1;
    return settings;
}

TEST(PreferencesDialog, WithoutDevicesTheOnlyItemStoresTheDefaultDevice) {
    // Would break: "Ok" on a machine without sound storing device 0, which does not exist.
    test::ScriptedPrompts prompts;
    TPreferencesForm form({}, prompts);
    TGlobalSettings settings = Settings();
    settings.PlayerWaveOut = -1;
    form.Load(settings);
    auto* devices = test::Find<QComboBox>(form, "DeviceList");
    ASSERT_EQ(devices->count(), 1);
    EXPECT_EQ(devices->itemText(0), "No devices available");
    settings.PlayerWaveOut = 5;
    form.Store(settings);
    EXPECT_EQ(settings.PlayerWaveOut, -1);
}

TEST(PreferencesDialog, DeviceItemsCountFromTheDefaultDevice) {
    // Would break: the list one off, so the player opens the neighbour of the chosen device.
    test::ScriptedPrompts prompts;
    TPreferencesForm form({"Speakers", ""}, prompts);
    auto* devices = test::Find<QComboBox>(form, "DeviceList");
    ASSERT_EQ(devices->count(), 3);
    EXPECT_EQ(devices->itemText(1), "Speakers");
    EXPECT_EQ(devices->itemText(2), "Unable to retrieve info");
    TGlobalSettings settings = Settings();
    form.Load(settings);
    EXPECT_EQ(devices->currentIndex(), 2);
    settings.PlayerWaveOut = -1;
    form.Load(settings);
    EXPECT_EQ(devices->currentIndex(), 0);
    devices->setCurrentIndex(1);
    form.Store(settings);
    EXPECT_EQ(settings.PlayerWaveOut, 0);
}

TEST(PreferencesDialog, OkAndRevertWaitForAChangeAndRevertRestoresEverything) {
    // Would break: "Ok" applying nothing new, or "Revert" leaving some edits in place.
    test::ScriptedPrompts prompts;
    TPreferencesForm form({"Speakers", "Headphones"}, prompts);
    const TGlobalSettings settings = Settings();
    form.Load(settings);
    EXPECT_FALSE(form.OkButton()->isEnabled());
    EXPECT_FALSE(form.RevertButton()->isEnabled());

    test::Find<QSpinBox>(form, "CueBuffersEdit")->setValue(20);
    EXPECT_TRUE(form.OkButton()->isEnabled());
    EXPECT_TRUE(form.RevertButton()->isEnabled());
    test::Find<QSpinBox>(form, "JogSpeedEdit")->setValue(250);
    test::Find<QCheckBox>(form, "MatchBox")->setChecked(true);
    test::Find<QComboBox>(form, "DeviceList")->setCurrentIndex(0);
    auto* cleanCuts = test::Find<QCheckBox>(form, "CleanCutsBox");
    EXPECT_EQ(cleanCuts->text(), "Clean cuts (gapless header and lead-in)");
    EXPECT_EQ(cleanCuts->isChecked(), settings.CleanCuts);
    cleanCuts->setChecked(!settings.CleanCuts);
    TGlobalSettings edited = DefaultGlobalSettings();
    form.Store(edited);
    EXPECT_EQ(edited.CleanCuts, !settings.CleanCuts);

    form.RevertButton()->click();
    EXPECT_FALSE(form.OkButton()->isEnabled());
    EXPECT_FALSE(form.RevertButton()->isEnabled());
    TGlobalSettings stored = DefaultGlobalSettings();
    form.Store(stored);
    EXPECT_EQ(stored.CueBuffers, settings.CueBuffers);
    EXPECT_EQ(stored.JogMaxSpeed, settings.JogMaxSpeed);
    EXPECT_EQ(stored.CheckMatch, settings.CheckMatch);
    EXPECT_EQ(stored.CleanCuts, settings.CleanCuts);
    EXPECT_EQ(stored.PlayerWaveOut, settings.PlayerWaveOut);
    EXPECT_EQ(stored.TempFolder, settings.TempFolder);
}

TEST(PreferencesDialog, SpinEditsKeepTheirRanges) {
    // Would break: a buffer count of 0 or 1000 reaching the player.
    test::ScriptedPrompts prompts;
    TPreferencesForm form({}, prompts);
    form.Load(Settings());
    auto* cue = test::Find<QSpinBox>(form, "CueBuffersEdit");
    auto* play = test::Find<QSpinBox>(form, "PlayBuffersEdit");
    auto* jog = test::Find<QSpinBox>(form, "JogSpeedEdit");
    EXPECT_EQ(cue->minimum(), 2);
    EXPECT_EQ(cue->maximum(), 32);
    EXPECT_EQ(play->minimum(), 2);
    EXPECT_EQ(play->maximum(), 32);
    EXPECT_EQ(jog->minimum(), 1);
    EXPECT_EQ(jog->maximum(), 500);
    play->setValue(0);
    jog->setValue(9999);
    TGlobalSettings stored;
    form.Store(stored);
    EXPECT_EQ(stored.NumBuffers, 2);
    EXPECT_EQ(stored.JogMaxSpeed, 500);
}

TEST(PreferencesDialog, FolderDialogCountsOnlyWhenConfirmed) {
    // Would break: a cancelled folder dialog emptying the temporary folder.
    test::ScriptedPrompts prompts;
    TPreferencesForm form({}, prompts);
    TGlobalSettings settings = Settings();
    form.Load(settings);
    EXPECT_FALSE(form.FolderButton()->isEnabled());
    test::Find<QCheckBox>(form, "TempFileBox")->setChecked(true);
    EXPECT_TRUE(form.FolderButton()->isEnabled());
    form.RevertButton()->click();
    EXPECT_FALSE(form.FolderButton()->isEnabled());

    settings.IndexAsFileStream = true;
    form.Load(settings);
    EXPECT_TRUE(form.FolderButton()->isEnabled());
    prompts.ExpectFolder("");
    form.FolderButton()->click();
    EXPECT_EQ(prompts.LastFolderDialog().title, "Browse for Folder");
    EXPECT_EQ(prompts.LastFolderDialog().text, "Select folder for temporary data");
    EXPECT_EQ(prompts.LastFolderDialog().initialFolder, "/var/tmp/cuts");
    EXPECT_FALSE(form.OkButton()->isEnabled());
    form.Store(settings);
    EXPECT_EQ(settings.TempFolder, "/var/tmp/cuts");

    prompts.ExpectFolder("/srv/scratch");
    form.FolderButton()->click();
    EXPECT_TRUE(form.OkButton()->isEnabled());
    EXPECT_EQ(test::Find<QLabel>(form, "FolderLabel")->text(), "/srv/scratch");
    form.Store(settings);
    EXPECT_EQ(settings.TempFolder, "/srv/scratch");
    EXPECT_TRUE(prompts.Done());
}

TEST(PreferencesDialog, PriorityTheListCannotShowIsKept) {
    // Would break: a stored time-critical priority silently lowered by any "Ok".
    test::ScriptedPrompts prompts;
    TPreferencesForm form({}, prompts);
    TGlobalSettings settings = Settings();
    settings.PlayerPriority = 6;
    form.Load(settings);
    auto* priority = test::Find<QComboBox>(form, "PriorityList");
    EXPECT_FALSE(priority->isEnabled());
    EXPECT_EQ(priority->count(), 6);
    settings.PlayerPriority = 0;
    form.Store(settings);
    EXPECT_EQ(settings.PlayerPriority, 6);
    settings.PlayerPriority = 4;
    form.Load(settings);
    form.Store(settings);
    EXPECT_EQ(settings.PlayerPriority, 4);
}

TEST(PreferencesDialog, PieceTagsChoiceIsTheStoredNumber) {
    // Would break: the list's order drifting from the values the store and the export read.
    test::ScriptedPrompts prompts;
    TPreferencesForm form({}, prompts);
    TGlobalSettings settings = Settings();
    settings.PieceTags = 2;
    form.Load(settings);
    auto* tags = test::Find<QComboBox>(form, "PieceTagsList");
    EXPECT_EQ(tags->currentText(), QStringLiteral("ID3v2.4"));
    tags->setCurrentIndex(0);
    form.Store(settings);
    EXPECT_EQ(settings.PieceTags, 0);
}

TEST(PreferencesDialog, AppliesToTheSettingsOnlyOnOk) {
    // Would break: "Cancel" or the close box applying the edits anyway.
    test::ScriptedPrompts prompts;
    GlobalSettings() = Settings();
    test::WhenModal([](QWidget* modal) {
        modal->findChild<QSpinBox*>(QStringLiteral("PlayBuffersEdit"))->setValue(9);
        modal->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    EXPECT_FALSE(EditPreferences({}, prompts));
    EXPECT_EQ(GlobalSettings().NumBuffers, Settings().NumBuffers);

    test::WhenModal([](QWidget* modal) {
        modal->findChild<QSpinBox*>(QStringLiteral("PlayBuffersEdit"))->setValue(9);
        auto* timeCodes = modal->findChild<QComboBox*>(QStringLiteral("TimeCodeList"));
        EXPECT_EQ(timeCodes->currentText(), "real time");
        timeCodes->setCurrentIndex(1);
        EXPECT_EQ(timeCodes->currentText(), "frames within the second");
        modal->findChild<QPushButton*>(QStringLiteral("OkBtn"))->click();
    });
    EXPECT_TRUE(EditPreferences({}, prompts));
    EXPECT_EQ(GlobalSettings().NumBuffers, 9);
    EXPECT_FALSE(GlobalSettings().RealTimeCodes);
    EXPECT_EQ(GlobalSettings().PlayerWaveOut, -1);
    GlobalSettings() = TGlobalSettings{};
}

TEST(PreferencesDialog, ItAndTheProjectPropertiesAreToolWindowsCentredOnTheScreen) {
    // Shown at their parent's corner as ordinary windows, they looked like another main window.
    test::ScriptedPrompts prompts;
    QWidget frame;
    frame.setGeometry(0, 0, 300, 200);
    frame.show();
    TPreferencesForm preferences({"Speakers"}, prompts, &frame);
    TProjectPropertiesForm properties(&frame);
    for (QDialog* dialog :
         {static_cast<QDialog*>(&preferences), static_cast<QDialog*>(&properties)}) {
        EXPECT_EQ(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        dialog->show();
        const QPoint centre = dialog->screen()->availableGeometry().center();
        EXPECT_LE((dialog->frameGeometry().center() - centre).manhattanLength(), 2)
            << dialog->objectName().toStdString();
        dialog->hide();
    }
}

TEST(PreferencesDialog, EveryControlHasAnAccessibleName) {
    // Would break: a screen reader announcing controls only as "combo box" or "spin box".
    test::ScriptedPrompts prompts;
    TPreferencesForm form({"Speakers"}, prompts);
    EXPECT_EQ(test::UnnamedControls(form), QStringList());
}

}  // namespace
}  // namespace sw
