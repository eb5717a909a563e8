#include "cutter/cutter_session.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "cutter/cutter_cue_list.h"
#include "cutter/cutter_display.h"
#include "cutter/cutter_player.h"
#include "engine/export.h"
#include "player/player_mode.h"
#include "project/cue_list_model.h"
#include "project/cut_exporter.h"
#include "stream/file_names.h"
#include "stream/time_code.h"

namespace sw {
namespace {

constexpr char kProgramTitle[] = "Slicewell 4";

uint32_t BothChannels(int32_t volume) {
    const uint32_t low = uint32_t(volume) & 0xFFFF;
    return low | (low << 16);
}

// The folder of a chosen file, as the save dialogs remember it.
std::string FolderOfFile(const std::string& fileName) {
    std::string folder = ExtractFilePath(fileName);
    if (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

CutterSession::CutterSession(TGlobalSettings& settings, Prompts& prompts, CutExporter& exporter,
                             CutterPlayer* player)
    : settings_(settings), prompts_(prompts), exporter_(exporter), player_(player) {}

bool CutterSession::PlayerOpen() const {
    return player_ != nullptr && player_->PlayerState() == kStateOpen && cut_ != nullptr;
}

bool CutterSession::HasFrames() const {
    return cut_ != nullptr && cut_->FrameCount() > 0;
}

int32_t CutterSession::Position() const {
    return PlayerOpen() ? int32_t(player_->Position()) : position_;
}

CutterEnables CutterSession::Enables() const {
    CutterSituation s;
    s.suspended = suspended_;
    s.playerOpen = PlayerOpen();
    s.hasCut = cut_ != nullptr;
    s.frameCount = FrameCount();
    s.markIn = cut_ != nullptr ? cut_->MarkIn : 0;
    s.markOut = cut_ != nullptr ? cut_->MarkOut : 0;
    s.cueUnderReview = cue_ != nullptr;
    return EnablesFor(s);
}

std::string CutterSession::ShownName() const {
    if (cut_ == nullptr) {
        return "";
    }
    const std::string& name = cue_ != nullptr ? cue_->Name : cut_->Name;
    return noSound_.empty() ? name : name + " - " + noSound_;
}

std::string CutterSession::FrameLabel(int64_t frame) const {
    const TFrameInfo info = cut_ != nullptr ? cut_->FrameInfo : kNoFrame;
    return FrameText(info, frame, settings_.ShowCutterTime, settings_.RealTimeCodes);
}

std::string CutterSession::NoFrameLabel() const {
    return NoFrameText(settings_.ShowCutterTime);
}

std::string CutterSession::LengthLabel(bool showMarkedLength) const {
    if (cut_ == nullptr) {
        return NoFrameLabel();
    }
    return FrameLabel(
        ShownLength(cut_->MarkIn, cut_->MarkOut, cut_->FrameCount(), showMarkedLength));
}

bool CutterSession::Leave() {
    cut_ = nullptr;
    if (terminating_) {
        return false;
    }
    Close();
    return true;
}

bool CutterSession::OpenOnPlayer(TCutObject* cut) {
    noSound_.clear();
    if (player_ == nullptr) {
        noSound_ = "Unable to create player";
        return false;
    }
    // The player reads no settings: it is told the queue depths each time it opens a file.
    player_->SetQueueDepths(settings_.NumBuffers, settings_.CueBuffers);
    const int result = player_->Open(cut);
    if (result != 0) {
        const std::string why = player_->ErrorText(result);
        noSound_ = "nothing plays: " + (why.empty() ? "An unknown error occured" : why);
    }
    return result == 0;
}

bool CutterSession::OpenCutObject(TCutObject* cut) {
    cue_ = nullptr;
    if (cut == nullptr) {
        return Leave();
    }
    cut_ = cut;
    position_ = 0;
    const bool playing = OpenOnPlayer(cut);
    if (playing && settings_.CutterAutoPlay && HasFrames()) {
        player_->Play();
    }
    return true;
}

bool CutterSession::OpenCue(TCueObject* cue) {
    cue_ = cue;
    if (cue == nullptr || cue->CutObject == nullptr) {
        return Leave();
    }
    TCutObject* cut = cue->CutObject;
    cut_ = cut;
    cut->MarkIn = cue->MarkIn;
    cut->MarkOut = cue->MarkOut;
    position_ = SeekBarPosition(cue->MarkIn, cut->FrameCount());
    const bool playing = OpenOnPlayer(cut);
    if (playing && settings_.CutterAutoPlay && HasFrames()) {
        if (int64_t(cue->MarkOut) - cue->MarkIn < settings_.CueBuffers) {
            player_->Play();
        } else {
            player_->PlayMark();
        }
    }
    if (playing) {
        player_->SetPosition(cue->MarkIn);
    }
    return true;
}

void CutterSession::Close() {
    if (player_ != nullptr) {
        player_->Close();
    }
    noSound_.clear();
    cut_ = nullptr;
    position_ = 0;
}

void CutterSession::EnablePlayer(bool enable) {
    if (player_ == nullptr) {
        suspended_ = !enable;
        return;
    }
    if (enable && (!shown_ || shown_())) {
        suspended_ = false;
        player_->SetActive(true);
        player_->SetPlayerMode(savedMode_);
    } else {
        suspended_ = true;
        savedMode_ = player_->PlayerMode();
        player_->SetPlayerMode(kModePausing);
        player_->SetActive(false);
    }
}

void CutterSession::ForgetSavedMode() {
    savedMode_ = kModePausing;
}

void CutterSession::DeactivatePlayer() {
    if (player_ != nullptr) {
        player_->SetActive(false);
    }
}

void CutterSession::HoldPlayerWhile(const std::function<void()>& show) {
    const bool wasActive = player_ != nullptr && player_->Active();
    DeactivatePlayer();
    show();
    if (wasActive) {
        player_->SetActive(true);
    }
}

void CutterSession::MoveTo(int64_t frame) {
    if (!HasFrames()) {
        return;
    }
    if (PlayerOpen()) {
        player_->SetPosition(frame);
    } else {
        position_ = SeekBarPosition(frame, FrameCount());
    }
}

void CutterSession::JumpToMarkIn() {
    if (cut_ != nullptr) {
        MoveTo(cut_->MarkIn);
    }
}

void CutterSession::JumpToMarkOut() {
    if (cut_ != nullptr) {
        MoveTo(cut_->MarkOut);
    }
}

void CutterSession::FlushPlayMark() {
    if (PlayerOpen() && player_->PlayerMode() == kModePlayMark) {
        player_->Flush();
    }
}

void CutterSession::SetMarkIn(int32_t frame) {
    if (HasFrames()) {
        sw::SetMarkIn(*cut_, frame);
        FlushPlayMark();
    }
}

void CutterSession::SetMarkOut(int32_t frame) {
    if (HasFrames()) {
        sw::SetMarkOut(*cut_, frame);
        FlushPlayMark();
    }
}

void CutterSession::SetMarks(int32_t markIn, int32_t markOut) {
    if (HasFrames()) {
        cut_->MarkIn = std::min(markIn, markOut);
        cut_->MarkOut = std::max(markIn, markOut);
        FlushPlayMark();
    }
}

void CutterSession::Transport(bool (CutterPlayer::*command)()) {
    if (PlayerOpen()) {
        (player_->*command)();
    }
}

bool CutterSession::Jog(int32_t knob) {
    if (!PlayerOpen()) {
        return false;
    }
    const std::optional<int64_t> next = JogStep(player_->Position(), knob, settings_.NumBuffers);
    if (next) {
        player_->SetPosition(*next);
    }
    return next.has_value();
}

void CutterSession::Wheel(int delta) {
    const int notches = wheel_.Add(delta);
    if (notches != 0 && PlayerOpen()) {
        MoveTo(int64_t(player_->Position()) + WheelFrames(notches, settings_.JogMaxSpeed));
    }
}

bool CutterSession::RunKeyCommand(CutterCommand command, int32_t markFrame) {
    if (player_ == nullptr) {
        return false;
    }
    const CutterEnables enables = Enables();
    switch (command) {
        case CutterCommand::None:
        case CutterCommand::KnobToZero:
        case CutterCommand::JumpDialog:
            return false;
        case CutterCommand::Play:
            player_->Play();
            break;
        case CutterCommand::Cue:
            player_->Cue();
            break;
        case CutterCommand::Pause:
            player_->Pause();
            break;
        case CutterCommand::PlayMark:
            player_->PlayMark();
            break;
        case CutterCommand::Stop:
            player_->Stop();
            break;
        case CutterCommand::SetMarkIn:
            SetMarkIn(markFrame);
            break;
        case CutterCommand::SetMarkOut:
            SetMarkOut(markFrame);
            break;
        case CutterCommand::JumpToMarkIn:
            JumpToMarkIn();
            break;
        case CutterCommand::JumpToMarkOut:
            JumpToMarkOut();
            break;
        case CutterCommand::PositionToCueList:
            if (enables.list) {
                PositionToCueList();
            }
            break;
        case CutterCommand::SelectionToCueList:
            if (enables.list) {
                SelectionToCueList();
            }
            break;
        case CutterCommand::UpdateCue:
            if (enables.updateCue) {
                UpdateCue();
            }
            break;
        case CutterCommand::PlayPause:
            if (PlayerOpen()) {
                RunKeyCommand(PlayPauseCommand(player_->PlayerMode()), markFrame);
            }
            break;
        case CutterCommand::FrameBack:
        case CutterCommand::FrameForward:
        case CutterCommand::SecondBack:
        case CutterCommand::SecondForward:
            if (HasFrames()) {
                MoveTo(int64_t(Position()) + *MainKeyStep(command, FrameRate(cut_->FrameInfo)));
            }
            break;
        case CutterCommand::StepForward:
        case CutterCommand::StepBack:
            if (PlayerOpen()) {
                const std::optional<int64_t> step =
                    KeypadStep(command, player_->PlayerMode(), settings_.NumBuffers);
                if (step) {
                    player_->SetPosition(int64_t(player_->Position()) + *step);
                }
            }
            break;
    }
    return true;
}

void CutterSession::SelectionToCueList() {
    if (cut_ != nullptr && cueList_ != nullptr) {
        cueList_->AddMarkedCue(cut_);
    }
}

void CutterSession::PositionToCueList() {
    if (cut_ != nullptr && cueList_ != nullptr) {
        AddPositionCue(*cueList_, *cut_, Position());
    }
}

void CutterSession::UpdateCue() {
    if (cue_ != nullptr && cueList_ != nullptr) {
        cueList_->UpdateCue(cue_);
    }
}

std::string CutterSession::ChooseExportTarget() {
    if (cut_ == nullptr) {
        return "";
    }
    Prompts::FileDialog dialog;
    dialog.title = "Save selected mark as";
    dialog.fileName = ProposedExportName(cut_->Name, cut_->MarkIn, cut_->MarkOut);
    dialog.initialFolder = settings_.LastSaveFolder;
    dialog.defaultExtension = "mp3";
    dialog.filter =
        "MP3 Files (*.mp3)|*.mp3|WAV Files (*.wav)|*.wav|MP3 Cues (*.m3q)|*.m3q|All Files "
        "(*.*)|*.*";
    const std::string target = prompts_.SaveFile(dialog);
    // The dialog runs the event loop: the file may have been closed meanwhile.
    if (target.empty() || cut_ == nullptr) {
        return "";
    }
    settings_.LastSaveFolder = FolderOfFile(target);
    return target;
}

void CutterSession::ExportSelection(const std::string& target) {
    if (cut_ == nullptr || target.empty()) {
        return;
    }
    // The selection goes as a cue of its own, by value: the export's window may run while the
    // marks move on.
    const TCueObject selection{cut_, cut_->Name, cut_->MarkIn, cut_->MarkOut};
    try {
        // The export's own window reports how the audio went.
        WriteCue(selection, target, exporter_, ExportStyleOf(settings_.CleanCuts));
    } catch (const std::exception& error) {
        prompts_.Error(kProgramTitle, error.what());
    }
}

void CutterSession::SetVolume(int32_t volume) {
    settings_.PlayerVolume = volume;
    if (player_ != nullptr) {
        player_->SetVolume(BothChannels(volume));
    }
}

void CutterSession::SetMuted(bool muted) {
    settings_.CutterMuted = muted;
    if (player_ != nullptr) {
        player_->SetMuteMode(muted);
    }
}

void CutterSession::SetLooped(bool looped) {
    settings_.CutterLooped = looped;
    if (player_ != nullptr) {
        player_->SetLoopMode(looped);
    }
}

void CutterSession::ApplySettings() {
    if (player_ != nullptr) {
        player_->SetWaveDevice(settings_.PlayerWaveOut);
        player_->SetLoopMode(settings_.CutterLooped);
        player_->SetMuteMode(settings_.CutterMuted);
        player_->SetVolume(BothChannels(settings_.PlayerVolume));
    }
}

}  // namespace sw
