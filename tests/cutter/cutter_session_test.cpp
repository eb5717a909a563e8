// The cutter's rules without its window: opening files and cues, the player's suspension, the
// marks, the cue list's keys and the export of the selection. The player is a fake that does at
// once what it is told, so every step is deterministic; the real player has its own tests.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings/global_settings.h"
#include "cutter/cutter_player.h"
#include "cutter/cutter_session.h"
#include "engine/header_frame.h"
#include "frame_builder.h"
#include "player/player_mode.h"
#include "project/cue_file.h"
#include "project/cue_list_model.h"
#include "project/cut_exporter.h"
#include "project/inline_front_end.h"
#include "project/scan_runner.h"
#include "scripted_prompts.h"

namespace sw::test {
namespace {

class FakePlayer : public CutterPlayer {
  public:
    int Open(TCutObject* cut) override {
        if (openError != 0) {
            return openError;
        }
        cut_ = cut;
        state_ = kStateOpen;
        mode_ = kModePausing;
        position_ = 0;
        return 0;
    }
    int Close() override {
        cut_ = nullptr;
        state_ = kStateClosed;
        mode_ = kModeNone;
        return 0;
    }
    bool Play() override { return Request(kModePlayAll); }
    bool PlayMark() override { return Request(kModePlayMark); }
    bool Cue() override { return Request(kModeCueing); }
    bool Pause() override { return Request(kModePausing); }
    bool Stop() override { return Request(kModeStopped); }
    int Flush() override {
        ++flushes;
        return 0;
    }
    bool Active() const override { return active_; }
    void SetActive(bool active) override { active_ = active; }
    int32_t PlayerMode() const override { return mode_; }
    void SetPlayerMode(int32_t mode) override { mode_ = mode; }
    int32_t PlayerState() const override { return state_; }
    uint32_t Position() const override { return uint32_t(position_); }
    void SetPosition(int64_t frame) override {
        position_ = cut_ != nullptr ? std::clamp<int64_t>(frame, 0, cut_->FrameCount() - 1) : 0;
    }
    void SetQueueDepths(int32_t numBuffers, int32_t cueBuffers) override {
        queueDepths = {numBuffers, cueBuffers};
    }
    void SetVolume(uint32_t) override {}
    void SetMuteMode(bool) override {}
    void SetLoopMode(bool) override {}
    void SetWaveDevice(int32_t) override {}
    std::string ErrorText(int code) override {
        return code == 8 ? "The device cannot play this format" : "";
    }

    int openError = 0;
    int flushes = 0;
    std::pair<int32_t, int32_t> queueDepths{0, 0};

  private:
    bool Request(int32_t mode) {
        if (state_ != kStateOpen) {
            return false;
        }
        mode_ = mode;
        return true;
    }

    TCutObject* cut_ = nullptr;
    int32_t state_ = kStateClosed;
    int32_t mode_ = kModeNone;
    int64_t position_ = 0;
    bool active_ = true;
};

class NoChanges : public ModifiedSink {
  public:
    void MarkModified() override {}
};

// A session over a file of 1000 scanned frames, with a fake player, a real cue list, and the
// core's export on the calling thread.
class CutterSessionTest : public ::testing::Test {
  protected:
    CutterSessionTest() {
        settings.CutterAutoPlay = false;
        settings.CleanCuts = false;  // the built frames carry no real side information
        settings.TempFolder = dir.Path();
        cut = ScannedFile("numbered", MakeFrames(1000));
        session.SetCueList(&cues);
    }

    CutObjectPtr ScannedFile(const std::string& name, const std::vector<uint8_t>& frames) {
        const std::string fileName = dir.File(name + ".mp3");
        WriteFileBytes(fileName, frames);
        CutObjectPtr file(CreateCutObject(fileName, CutObjectOptionsOf(settings)));
        EXPECT_EQ(CoreScanRunner(settings).Scan(*file), 0);
        file->Name = name;
        file->MarkIn = 0;
        file->MarkOut = file->FrameCount() - 1;
        return file;
    }

    TempDir dir;
    TGlobalSettings settings = DefaultGlobalSettings();
    ScriptedPrompts prompts;
    InlineFrontEnd frontEnd;
    CoreCutExporter exporter{frontEnd};
    CutObjectPtr cut;
    NoChanges changes;
    CueListModel cues{settings, prompts, changes};
    FakePlayer player;
    CutterSession session{settings, prompts, exporter, &player};
};

TEST_F(CutterSessionTest, AutoplayPlaysShortCuesOnAndLongerOnesAlone) {
    // The wrong choice plays a one-frame cue as silence, or a long cue on into the rest of the
    // file.
    settings.CutterAutoPlay = true;
    settings.CueBuffers = 20;
    TCueObject shortCue{cut.get(), "short", 10, 10 + settings.CueBuffers - 1};
    session.OpenCue(&shortCue);
    EXPECT_EQ(player.PlayerMode(), kModePlayAll);
    EXPECT_EQ(player.Position(), 10u);
    EXPECT_EQ(session.ShownName(), "short");
    EXPECT_EQ(player.queueDepths, std::make_pair(settings.NumBuffers, settings.CueBuffers));

    TCueObject longCue{cut.get(), "long", 10, 10 + settings.CueBuffers};
    session.OpenCue(&longCue);
    EXPECT_EQ(player.PlayerMode(), kModePlayMark);
    EXPECT_EQ(player.Position(), 10u);
    EXPECT_EQ(cut->MarkIn, 10);
    EXPECT_EQ(cut->MarkOut, 30);
    EXPECT_TRUE(session.Enables().updateCue);
}

TEST_F(CutterSessionTest, WithoutAutoplayTheCueOpensPausedAtItsStart) {
    // The cue would start at frame 0, or play when the user asked it not to; without sound the
    // window would lose the cue's start and not say why nothing plays.
    TCueObject cue{cut.get(), "cue", 40, 80};
    session.OpenCue(&cue);
    EXPECT_EQ(player.PlayerMode(), kModePausing);
    EXPECT_EQ(session.Position(), 40);

    session.Close();
    player.openError = 8;
    session.OpenCue(&cue);
    EXPECT_FALSE(session.PlayerOpen());
    EXPECT_EQ(session.Position(), 40);
    EXPECT_EQ(session.ShownName(), "cue - nothing plays: The device cannot play this format");
    TCueObject late{cut.get(), "late", 5000, 5010};
    session.OpenCue(&late);
    EXPECT_EQ(session.Position(), 999) << "a cue past the file's end stays inside the file";
}

TEST_F(CutterSessionTest, AMarkSetDuringPlayMarkRestartsFromTheAudibleFrame) {
    // Without the flush the old range's queued frames would play on past the new mark; a flush
    // in the other modes would drop audio for nothing.
    cut->MarkIn = 100;
    cut->MarkOut = 400;
    session.OpenCutObject(cut.get());
    player.PlayMark();
    session.SetMarkIn(105);
    EXPECT_EQ(cut->MarkIn, 105);
    EXPECT_EQ(player.flushes, 1);
    session.SetMarks(300, 200);  // the waveform's drag, either way round
    EXPECT_EQ(cut->MarkIn, 200);
    EXPECT_EQ(cut->MarkOut, 300);
    EXPECT_EQ(player.flushes, 2);
    player.Play();
    session.SetMarkOut(100);
    EXPECT_EQ(cut->MarkIn, 100);
    EXPECT_EQ(cut->MarkOut, 100);
    EXPECT_EQ(player.flushes, 2);
}

TEST_F(CutterSessionTest, OneSavedModeSoANestedSuspensionEndsPaused) {
    // A stack of saved modes would restart playback the user no longer expects; resuming a
    // hidden window's player would play what nobody sees.
    bool shown = true;
    session.SetShownQuery([&] { return shown; });
    session.OpenCutObject(cut.get());
    player.Play();
    session.EnablePlayer(false);
    EXPECT_FALSE(player.Active());
    EXPECT_FALSE(session.Enables().list);
    session.EnablePlayer(true);
    EXPECT_EQ(player.PlayerMode(), kModePlayAll);
    session.EnablePlayer(false);
    session.EnablePlayer(false);
    session.EnablePlayer(true);
    EXPECT_EQ(player.PlayerMode(), kModePausing);
    EXPECT_TRUE(player.Active());

    player.Play();
    shown = false;
    session.EnablePlayer(false);
    session.EnablePlayer(true);
    EXPECT_FALSE(player.Active());
    // A message about the player while it is suspended leaves it suspended.
    session.HoldPlayerWhile([&] { EXPECT_FALSE(player.Active()); });
    EXPECT_FALSE(player.Active());
    shown = true;
    session.EnablePlayer(true);
    EXPECT_EQ(player.PlayerMode(), kModePausing) << "the hidden resume saved the pause";
    session.HoldPlayerWhile([&] { EXPECT_FALSE(player.Active()); });
    EXPECT_TRUE(player.Active());
}

TEST_F(CutterSessionTest, CueListKeysActOnlyWhileTheirButtonsAreEnabled) {
    // A cue from a file that is not open, or an update without a cue under review, would be
    // wrong.
    session.RunKeyCommand(CutterCommand::SelectionToCueList, 0);
    session.RunKeyCommand(CutterCommand::PositionToCueList, 0);
    EXPECT_EQ(cues.Count(), 0);
    cut->MarkIn = 10;
    cut->MarkOut = 20;
    session.OpenCutObject(cut.get());
    session.EnablePlayer(false);
    session.RunKeyCommand(CutterCommand::SelectionToCueList, 0);
    EXPECT_EQ(cues.Count(), 0) << "suspended";
    session.EnablePlayer(true);
    session.RunKeyCommand(CutterCommand::SelectionToCueList, 0);
    ASSERT_EQ(cues.Count(), 1);
    EXPECT_EQ(cues.At(0)->MarkOut, 20);
    session.RunKeyCommand(CutterCommand::UpdateCue, 0);  // no cue under review
    EXPECT_EQ(cues.At(0)->MarkOut, 20);

    session.OpenCue(cues.At(0));
    cut->MarkOut = 30;
    session.RunKeyCommand(CutterCommand::UpdateCue, 0);
    EXPECT_EQ(cues.At(0)->MarkOut, 30);
    EXPECT_FALSE(session.RunKeyCommand(CutterCommand::JumpDialog, 0)) << "the window's own";
}

TEST_F(CutterSessionTest, WithoutAPlayerMarksMovesAndCuesStillWork) {
    // With no sound the cutter was dead: nothing could be marked, listed or exported.
    CutterSession silent(settings, prompts, exporter, nullptr);
    silent.SetCueList(&cues);
    silent.OpenCutObject(cut.get());
    EXPECT_EQ(silent.ShownName(), "numbered - Unable to create player");
    const CutterEnables enables = silent.Enables();
    EXPECT_TRUE(enables.marking && enables.list);
    EXPECT_FALSE(enables.transport || enables.markPlay);
    silent.MoveTo(10);
    silent.SetMarkIn(silent.Position());
    silent.MoveTo(5000);
    EXPECT_EQ(silent.Position(), 999);
    silent.PositionToCueList();
    ASSERT_EQ(cues.Count(), 1);
    EXPECT_EQ(cues.At(0)->MarkIn, 999);
    EXPECT_EQ(cut->MarkIn, 10);
    EXPECT_FALSE(silent.RunKeyCommand(CutterCommand::SetMarkOut, 20)) << "keys need a player";
}

TEST_F(CutterSessionTest, CapitalM3qWritesACueFileOfTheSelection) {
    // Exporting audio under a ".M3Q" name would give a file the program later reads as a cue.
    cut->MarkIn = 10;
    cut->MarkOut = 20;
    session.OpenCutObject(cut.get());
    const std::string target = dir.File("selection.M3Q");
    prompts.ExpectSaveFile(target);
    ASSERT_EQ(session.ChooseExportTarget(), target);
    const Prompts::FileDialog& dialog = prompts.LastFileDialog();
    EXPECT_EQ(dialog.title, "Save selected mark as");
    EXPECT_EQ(dialog.fileName, "numbered (10-20)");
    EXPECT_EQ(dialog.defaultExtension, "mp3");
    EXPECT_EQ(dialog.filter,
              "MP3 Files (*.mp3)|*.mp3|WAV Files (*.wav)|*.wav|MP3 Cues (*.m3q)|*.m3q|All Files "
              "(*.*)|*.*");
    EXPECT_EQ(settings.LastSaveFolder, dir.Path());
    session.ExportSelection(target);
    std::string source;
    std::unique_ptr<TCueObject> cue = LoadCueFile(target, source);
    ASSERT_NE(cue, nullptr);
    EXPECT_EQ(source, cut->FileName);
    EXPECT_EQ(cue->Name, "numbered");
    EXPECT_EQ(cue->MarkIn, 10);
    EXPECT_EQ(cue->MarkOut, 20);
}

TEST_F(CutterSessionTest, CleanCutsGiveTheSelectionItsHeaderFrameAndLeadIn) {
    // The preference must reach the export: without it the piece starts with main data and
    // overlap it never got, and players take its length from a guess.
    CutObjectPtr silent = ScannedFile("silent", MakeFrames(40, {}, 0x00));  // side info all 0
    silent->MarkIn = 10;
    silent->MarkOut = 20;
    settings.CleanCuts = true;
    session.OpenCutObject(silent.get());
    const std::string target = dir.File("selection.mp3");
    session.ExportSelection(target);
    const std::vector<uint8_t> bytes = ReadFileBytes(target);
    const SourceTag tag = ReadSourceTag(bytes.data(), int32_t(bytes.size()));
    EXPECT_TRUE(tag.gapless);
    EXPECT_EQ(tag.delay, 1152 - 529) << "one frame of lead-in";
    const int32_t header =
        HeaderFrameLength(HeaderWordFromBytes(bytes.data() + bytes.size() - 417));
    EXPECT_EQ(bytes.size(), size_t(header + 12 * 417));
}

}  // namespace
}  // namespace sw::test
