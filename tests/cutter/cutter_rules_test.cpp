// The cutter's rules that need no window: the keypad table, jog and wheel arithmetic, the texts
// it shows, the enable groups and the marks.
#include <gtest/gtest.h>

#include "app/settings/action_registry.h"
#include "cutter/cutter_cue_list.h"
#include "cutter/cutter_display.h"
#include "cutter/cutter_keys.h"
#include "cutter/cutter_state.h"
#include "cutter/jog_shuttle.h"
#include "player/player_mode.h"
#include "project/cue_list_model.h"
#include "scripted_prompts.h"

namespace sw {
namespace {

TFrameInfo Info38() {
    TFrameInfo info{};
    info.Version = 1;
    info.Layer = 3;
    info.Bitrate = 128;
    info.SampleRate = 44100;
    info.Padding = 1;
    info.FrameLength = 418;
    return info;
}

TEST(CutterKeypadTable, EveryKeypadKeyRunsItsOwnCommand) {
    // A key mapped to the wrong command would, say, open the jump dialog instead of pausing.
    const std::pair<CutterKey, CutterCommand> table[] = {
        {CutterKey::Pad0, CutterCommand::KnobToZero},
        {CutterKey::Pad1, CutterCommand::Play},
        {CutterKey::Pad2, CutterCommand::Cue},
        {CutterKey::Pad3, CutterCommand::Pause},
        {CutterKey::Pad4, CutterCommand::SetMarkIn},
        {CutterKey::Pad5, CutterCommand::PlayMark},
        {CutterKey::Pad6, CutterCommand::SetMarkOut},
        {CutterKey::Pad7, CutterCommand::JumpToMarkIn},
        {CutterKey::Pad8, CutterCommand::JumpDialog},
        {CutterKey::Pad9, CutterCommand::JumpToMarkOut},
        {CutterKey::PadMultiply, CutterCommand::PositionToCueList},
        {CutterKey::PadAdd, CutterCommand::StepForward},
        {CutterKey::PadSubtract, CutterCommand::StepBack},
        {CutterKey::PadDivide, CutterCommand::SelectionToCueList},
        {CutterKey::PadDecimal, CutterCommand::Stop},
        {CutterKey::PadEnter, CutterCommand::UpdateCue},
        {CutterKey::None, CutterCommand::None},
    };
    for (const auto& [key, command] : table) {
        EXPECT_EQ(CommandForKey(key), command) << CutterKeyName(key);
    }
}

TEST(CutterKeypadTable, StepsFollowTheModeAndTheQueueDepth) {
    // Stepping back while playing by less than the queue would land after the audible frame.
    EXPECT_EQ(KeypadStep(CutterCommand::StepBack, kModePlayAll, 16), -26);
    EXPECT_EQ(KeypadStep(CutterCommand::StepBack, kModePlayMark, 16), -26);
    EXPECT_EQ(KeypadStep(CutterCommand::StepBack, kModePausing, 16), -1);
    EXPECT_EQ(KeypadStep(CutterCommand::StepBack, kModeCueing, 16), -1);
    EXPECT_EQ(KeypadStep(CutterCommand::StepForward, kModePlayAll, 16), 10);
    EXPECT_EQ(KeypadStep(CutterCommand::StepForward, kModePausing, 16), 1);
    for (int32_t mode : {kModeNone, kModeStopped, kModeEnded}) {
        EXPECT_FALSE(KeypadStep(CutterCommand::StepBack, mode, 16)) << mode;
        EXPECT_FALSE(KeypadStep(CutterCommand::StepForward, mode, 16)) << mode;
    }
    EXPECT_FALSE(KeypadStep(CutterCommand::Play, kModePlayAll, 16));
}

TEST(CutterMainKeys, TheMainKeyboardsKeysComeFromTheOneShortcutTable) {
    // Breaks when a key is answered that the shortcut table (and so the README and the tool
    // tips) does not show, when a modifier is ignored (Shift+Left stepping one frame, Ctrl+I
    // setting a mark instead of importing), or when Space pauses a paused file.
    const std::pair<const char*, CutterCommand> table[] = {
        {"Space", CutterCommand::PlayPause},
        {"I", CutterCommand::SetMarkIn},
        {"O", CutterCommand::SetMarkOut},
        {"Return", CutterCommand::SelectionToCueList},
        {"Left", CutterCommand::FrameBack},
        {"Right", CutterCommand::FrameForward},
        {"Shift+Left", CutterCommand::SecondBack},
        {"Shift+Right", CutterCommand::SecondForward},
        {"Ctrl+I", CutterCommand::None},
        {"Shift+Space", CutterCommand::None},
        {"4", CutterCommand::None},
        {"", CutterCommand::None},
    };
    for (const auto& [keys, command] : table) {
        EXPECT_EQ(CommandForKeys(keys), command) << keys;
        if (command != CutterCommand::None) {
            EXPECT_EQ(KeysOfCommand(command), keys);
            EXPECT_EQ(ShortcutOf(CutterKeyActionName(command)), keys);
        }
    }
    EXPECT_EQ(KeysOfCommand(CutterCommand::Stop), "");
    EXPECT_EQ(PlayPauseCommand(kModePlayAll), CutterCommand::Pause);
    EXPECT_EQ(PlayPauseCommand(kModePlayMark), CutterCommand::Pause);
    for (int32_t mode : {kModeNone, kModeCueing, kModePausing, kModeStopped, kModeEnded}) {
        EXPECT_EQ(PlayPauseCommand(mode), CutterCommand::Play) << mode;
    }
    EXPECT_EQ(MainKeyStep(CutterCommand::FrameBack, 38), -1);
    EXPECT_EQ(MainKeyStep(CutterCommand::SecondForward, 38), 38);
    EXPECT_EQ(MainKeyStep(CutterCommand::SecondBack, 0), -1) << "no rate: one frame";
    EXPECT_FALSE(MainKeyStep(CutterCommand::StepBack, 38));
}

TEST(JogShuttleArithmetic, BackStepsAddTwiceTheQueueAndRestMovesNothing) {
    // Without the queue the knob turned back would keep landing in frames already queued.
    EXPECT_EQ(JogStep(1000, -3, 16), 1000 - 35);
    EXPECT_EQ(JogStep(1000, 3, 16), 1003);
    EXPECT_EQ(JogStep(1000, 100, 16), 1100);
    EXPECT_FALSE(JogStep(1000, 0, 16));
    // A jump back past the start is left for the player to clamp.
    EXPECT_EQ(JogStep(10, -100, 16), 10 - 132);
}

TEST(WheelAccumulation, SmallDeltasAddUpToNotchesInsteadOfVanishing) {
    // Truncating each message would leave a touchpad's deltas of 15 or 60 without any effect.
    WheelAccumulator wheel;
    EXPECT_EQ(wheel.Add(60), 0);
    EXPECT_EQ(wheel.Add(60), 1);
    EXPECT_EQ(wheel.Rest(), 0);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(wheel.Add(15), 0);
    }
    EXPECT_EQ(wheel.Add(15), 1);
    EXPECT_EQ(wheel.Add(-240), -2);
    EXPECT_EQ(wheel.Add(250), 2);
    EXPECT_EQ(wheel.Rest(), 10);
    EXPECT_EQ(WheelFrames(-2, 100), -200);
}

TEST(WheelAccumulation, AReversalDropsTheOtherDirectionsRest) {
    // A rest kept across a reversal would swallow the first notch the other way.
    WheelAccumulator wheel;
    EXPECT_EQ(wheel.Add(100), 0);
    EXPECT_EQ(wheel.Add(-120), -1);
    EXPECT_EQ(wheel.Rest(), 0);
    // Huge deltas neither overflow nor lose notches.
    EXPECT_EQ(wheel.Add(2147483640), 2147483640 / 120);
}

TEST(CutterTexts, FramesShowAsTimeCodesOrNumbers) {
    // The labels and the length panel would disagree with the file's frame rate.
    EXPECT_EQ(FrameText(Info38(), 38, true, false), "00:00:01.00");
    EXPECT_EQ(FrameText(Info38(), 2285, true, false), "00:01:00.05");
    EXPECT_EQ(FrameText(Info38(), 2285, true, true), "00:00:59.68");
    EXPECT_EQ(FrameText(Info38(), 2285, false, true), "2285");
    EXPECT_EQ(FrameText(Info38(), -5, false, false), "-5");
    EXPECT_EQ(FrameText(Info38(), -5, true, true), "00:00:00.00");
    EXPECT_EQ(NoFrameText(true), "00:00:00.00");
    EXPECT_EQ(NoFrameText(false), "0");
    EXPECT_EQ(CutterCaption(true), "Cutter (keyboard enabled)");
    EXPECT_EQ(CutterCaption(false), "Cutter (keyboard disabled)");
}

TEST(CutterTexts, LengthPanelNeverShowsANegativeSelection) {
    // A reversed selection read from a project file would show a negative length.
    EXPECT_EQ(ShownLength(10, 20, 1000, true), 11);
    EXPECT_EQ(ShownLength(10, 20, 1000, false), 1000);
    EXPECT_EQ(ShownLength(20, 10, 1000, true), 0);
    EXPECT_EQ(ShownLength(5, 5, 1000, true), 1);
}

TEST(CutterTexts, ExportProposalIsSafeAndCueFilesGoByKindInAnyCase) {
    // An unsafe character would make the proposed name a path; "M3Q" would export audio.
    EXPECT_EQ(ProposedExportName("a/b:c?", 10, 20), "a_b_c_ (10-20)");
    EXPECT_TRUE(ExportsCueFile("/tmp/cut.M3Q"));
    EXPECT_TRUE(ExportsCueFile("/tmp/cut.m3q"));
    EXPECT_FALSE(ExportsCueFile("/tmp/cut.mp3"));
    EXPECT_FALSE(ExportsCueFile("/tmp/m3q"));
}

TEST(CutterEnableGroups, WhatCannotWorkIsDisabled) {
    // An empty index would offer a seek bar of 0..-1 and marks no frame can carry.
    CutterSituation s;
    s.hasCut = true;
    s.frameCount = 0;
    s.playerOpen = true;
    CutterEnables e = EnablesFor(s);
    EXPECT_FALSE(e.transport || e.marking || e.markPlay || e.list || e.updateCue);

    s.frameCount = 100;
    s.markIn = 10;
    s.markOut = 20;
    e = EnablesFor(s);
    EXPECT_TRUE(e.transport && e.marking && e.markPlay && e.list);
    EXPECT_FALSE(e.updateCue);

    s.cueUnderReview = true;
    s.markIn = 150;  // a cue past the file's end
    s.markOut = 160;
    e = EnablesFor(s);
    EXPECT_FALSE(e.markPlay);
    EXPECT_TRUE(e.updateCue && e.list && e.transport);

    s.suspended = true;
    e = EnablesFor(s);
    EXPECT_FALSE(e.transport || e.marking || e.markPlay || e.list || e.updateCue);
}

TEST(CutterEnableGroups, WithoutSoundMarksCuesAndExportsStayUsable) {
    // A machine without a sound server would leave a cutter that can do nothing at all.
    CutterSituation s;
    s.hasCut = true;
    s.frameCount = 100;
    s.playerOpen = false;
    const CutterEnables e = EnablesFor(s);
    EXPECT_FALSE(e.transport);
    EXPECT_FALSE(e.markPlay);
    EXPECT_TRUE(e.marking);
    EXPECT_TRUE(e.list);
}

TEST(CutterSeekBar, RangeIsNeverReversedAndPositionsStayInside) {
    // A reversed range or a position past it makes the scroll bar report frames the file lacks.
    EXPECT_EQ(SeekBarMaximum(0), 0);
    EXPECT_EQ(SeekBarMaximum(1), 0);
    EXPECT_EQ(SeekBarMaximum(1000), 999);
    EXPECT_EQ(SeekBarPosition(5000, 1000), 999);
    EXPECT_EQ(SeekBarPosition(-3, 1000), 0);
    EXPECT_EQ(SeekBarPosition(7, 0), 0);
    EXPECT_TRUE(MarksInsideFile(0, 999, 1000));
    EXPECT_FALSE(MarksInsideFile(0, 1000, 1000));
    EXPECT_FALSE(MarksInsideFile(-1, 5, 1000));
    EXPECT_FALSE(MarksInsideFile(6, 5, 1000));
}

TEST(CutterMarks, SettingOneMarkPastTheOtherDragsItAlong) {
    // Without the drag the marks would be reversed and no export or cue could use them.
    TCutObject cut;
    cut.MarkIn = 0;
    cut.MarkOut = 200;
    SetMarkIn(cut, 500);
    EXPECT_EQ(cut.MarkIn, 500);
    EXPECT_EQ(cut.MarkOut, 500);
    cut.MarkIn = 300;
    cut.MarkOut = 400;
    SetMarkOut(cut, 100);
    EXPECT_EQ(cut.MarkIn, 100);
    EXPECT_EQ(cut.MarkOut, 100);
    SetMarkOut(cut, 150);
    EXPECT_EQ(cut.MarkIn, 100);
    EXPECT_EQ(cut.MarkOut, 150);
}

class CountingSink : public ModifiedSink {
  public:
    void MarkModified() override { ++count; }
    int count = 0;
};

TEST(PositionCue, AddsAOneFrameCueAndLeavesTheMarks) {
    // The marks would be left at the position, losing the user's selection.
    TGlobalSettings settings = DefaultGlobalSettings();
    test::ScriptedPrompts prompts;
    CountingSink sink;
    CueListModel cues(settings, prompts, sink);
    TCutObject cut;
    cut.Name = "song";
    cut.MarkIn = 10;
    cut.MarkOut = 20;
    ASSERT_TRUE(AddPositionCue(cues, cut, 15));
    ASSERT_EQ(cues.Count(), 1);
    EXPECT_EQ(cues.At(0)->MarkIn, 15);
    EXPECT_EQ(cues.At(0)->MarkOut, 15);
    EXPECT_EQ(cues.At(0)->Name, "Cue 1: song");
    EXPECT_EQ(cut.MarkIn, 10);
    EXPECT_EQ(cut.MarkOut, 20);
}

}  // namespace
}  // namespace sw
