#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/settings/global_settings.h"
#include "cutter/cutter_keys.h"
#include "cutter/cutter_state.h"
#include "cutter/jog_shuttle.h"
#include "stream/cut_object.h"
#include "stream/prompts.h"

namespace sw {

class CueListModel;
class CutExporter;
class CutterPlayer;

// The cutter without its window: which file or cue is open, the player's suspension around
// blocking work, the marks, the cue list's commands and the export of the marked selection. It
// holds cut objects and cues by reference only, so whoever frees one tells it first.
//
// The window asks it and then shows what it holds; it never calls the window. Frames it keeps
// for the window (Position without the player) are seek bar positions of the open file.
class CutterSession {
  public:
    // player is none when it could not be created: marks, cues and exports still work.
    CutterSession(TGlobalSettings& settings, Prompts& prompts, CutExporter& exporter,
                  CutterPlayer* player);

    // The cue list that takes the cutter's ranges; none leaves those commands without effect.
    void SetCueList(CueListModel* cueList) { cueList_ = cueList; }
    // Asked before resuming: a hidden window's player stays suspended. Shown when not told.
    void SetShownQuery(std::function<bool()> shown) { shown_ = std::move(shown); }
    // Set when the program ends: closing the file then leaves the player alone.
    void SetTerminating(bool terminating) { terminating_ = terminating; }
    bool Terminating() const { return terminating_; }

    TGlobalSettings& Settings() const { return settings_; }
    TCutObject* File() const { return cut_; }
    TCueObject* Cue() const { return cue_; }
    // The player holds the open file.
    bool PlayerOpen() const;
    bool HasFrames() const;
    int32_t FrameCount() const { return cut_ != nullptr ? cut_->FrameCount() : 0; }
    // The player's position while it holds the file, else the one kept for the window.
    int32_t Position() const;
    CutterEnables Enables() const;

    // What the window shows: the open cue's or file's name, followed by why it does not play;
    // a frame as time or number as the settings say, and what stands for one without a file;
    // the length panel's text.
    std::string ShownName() const;
    std::string FrameLabel(int64_t frame) const;
    std::string NoFrameLabel() const;
    std::string LengthLabel(bool showMarkedLength) const;
    // The window shows this cut object's name and marks: it is open and no cue is reviewed.
    bool Shows(const TCutObject* cut) const {
        return cue_ == nullptr && cut != nullptr && cut == cut_;
    }

    // Opens a cut object at frame 0, playing it with Autoplay; none closes. A cue opens its file
    // with the cue's marks at the cue's start; with Autoplay a cue shorter than the cue buffers
    // plays on past its end (it would be over before it was heard), a longer one plays alone.
    // A cue without a file closes. Both return false when the program ends and the file was only
    // let go of: there is nothing left to show.
    bool OpenCutObject(TCutObject* cut);
    bool OpenCue(TCueObject* cue);
    void Close();

    // false suspends playback (before any worker reads a source or a modal window opens), true
    // resumes it in the mode it had, unless the window is hidden. One saved mode, not a stack.
    void EnablePlayer(bool enable);
    // Opening while the window is hidden: what played before stays paused.
    void ForgetSavedMode();
    // Stops the player's work until EnablePlayer says otherwise.
    void DeactivatePlayer();
    // Runs show (a message about the player) with the player inactive, and reactivates it only
    // if it was active: an error during a suspension never restarts playback under a worker.
    void HoldPlayerWhile(const std::function<void()>& show);

    // Moves to a frame: the player, or only the kept position when the player does not hold the
    // file. Nothing without frames.
    void MoveTo(int64_t frame);
    void JumpToMarkIn();
    void JumpToMarkOut();
    // The mark buttons at frame (the seek bar's, which leads the player while its thumb is
    // dragged), and both marks at once (min and max). The queue of "Play Mark" holds frames of
    // the old range, so it is rebuilt from the audible frame.
    void SetMarkIn(int32_t frame);
    void SetMarkOut(int32_t frame);
    void SetMarks(int32_t markIn, int32_t markOut);

    // The player's own commands, with the file open.
    void Transport(bool (CutterPlayer::*command)());
    // One jog timer tick with the knob at knob; true when the player moved.
    bool Jog(int32_t knob);
    // A wheel delta over the window: JogMaxSpeed frames per whole notch.
    void Wheel(int delta);
    // A key's command (cutter_keys.h) as the keyboard runs it, the marks at markFrame; the cue
    // list's only while their buttons would be enabled. False for no command, no player, and the
    // two the window runs itself (the knob to zero, the jump dialog).
    bool RunKeyCommand(CutterCommand command, int32_t markFrame);

    void SelectionToCueList();
    void PositionToCueList();
    void UpdateCue();

    // "Save selected mark as": the target chosen for the marked selection, "" when cancelled or
    // nothing is open; remembers the folder.
    std::string ChooseExportTarget();
    // Writes the marked selection to target, a cue file for an ".m3q" name; call with the player
    // suspended. A failure is shown through the prompts.
    void ExportSelection(const std::string& target);

    // The switches: stored in the settings and handed to the player.
    void SetVolume(int32_t volume);
    void SetMuted(bool muted);
    void SetLooped(bool looped);
    void SetAutoPlay(bool autoPlay) { settings_.CutterAutoPlay = autoPlay; }
    void ToggleTimeDisplay() { settings_.ShowCutterTime = !settings_.ShowCutterTime; }
    // Hands the player the stored device, switches and volume.
    void ApplySettings();

  private:
    bool Leave();
    // Starts the opened file on the player; records why nothing plays when it cannot.
    bool OpenOnPlayer(TCutObject* cut);
    void FlushPlayMark();

    TGlobalSettings& settings_;
    Prompts& prompts_;
    CutExporter& exporter_;
    CutterPlayer* player_;
    CueListModel* cueList_ = nullptr;
    std::function<bool()> shown_;
    TCutObject* cut_ = nullptr;
    TCueObject* cue_ = nullptr;
    int32_t position_ = 0;
    bool suspended_ = false;
    bool terminating_ = false;
    int32_t savedMode_ = 0;
    WheelAccumulator wheel_;
    // Why the open file does not play (no sound server, a device that refuses the format), ""
    // when it plays.
    std::string noSound_;
};

}  // namespace sw
