#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cutter/cutter_keys.h"
#include "cutter/cutter_state.h"
#include "cutter/jog_shuttle.h"
#include "player/qt/wave_out.h"
#include "project/cutter_link.h"
#include "stream/cut_object.h"
#include "stream/prompts.h"

class QAction;
class QCheckBox;
class QLabel;
class QMimeData;
class QScrollBar;
class QStatusBar;
class QTimer;
class QToolButton;

namespace sw {

class CueListModel;
class TCutPlayerThread;
class TKnob;

// The cutter: plays one file or one cue under review, sets the file's marks, seeks by seek bar,
// keypad, jog/shuttle knob and wheel, and hands ranges to the cue list and to exports. It owns
// the program's one player and is its only driver; it holds cut objects and cues by reference
// only, so whoever frees one tells it first (CutObjectDeleted, CueDeleted).
//
// The window is created once and only shown or hidden: "closing" it (the title bar's button, the
// View item, the toolbar button) runs ToggleVisible, which pauses the player when hiding and
// resumes it when showing.
class TCutterForm : public QWidget, public CutterLink {
    Q_OBJECT

  public:
    // The player plays through waveOut; by default the sound server's service (or the null one
    // when no server runs).
    explicit TCutterForm(Prompts& prompts, std::unique_ptr<WaveOut> waveOut = nullptr,
                         QWidget* parent = nullptr);
    ~TCutterForm() override;

    // The cue list that takes the cutter's ranges; none leaves the list buttons without effect.
    void SetCueList(CueListModel* cueList) { cueList_ = cueList; }
    // The View menu's "&Cutter" item, which the toolbar's cutter button shares; its check state
    // follows the window's visibility.
    void SetViewAction(QAction* action);
    // The jump dialog: given the file's frame description and the current position, the frame
    // to jump to, or none when cancelled.
    using JumpDialog = std::function<std::optional<int32_t>(const TFrameInfo&, int32_t)>;
    void SetJumpDialog(JumpDialog dialog) { jumpDialog_ = std::move(dialog); }
    // Set when the program ends: closing the file then leaves the player alone.
    void SetTerminating(bool terminating) { terminating_ = terminating; }

    // Restores the stored placement (inside its sub-window, if any), the designed place without
    // one (left 235, top 115, beside the project bin), and puts the View item in step.
    void RestorePlacement(QPoint designed = QPoint(235, 115));

    void OpenCutObject(TCutObject* cut) override;
    void OpenCue(TCueObject* cue);
    void CutObjectChanged(TCutObject* cut) override;
    void CutObjectDeleted(TCutObject* cut) override;
    // A rescan of the open file closes it, as the bin's rescan of the open entry always has.
    void CutObjectReplaced(TCutObject* old, TCutObject* now) override;
    void CueChanged(TCueObject* cue) override;
    void CueDeleted(TCueObject* cue) override;
    // false suspends playback (before any worker reads a source or a modal window opens), true
    // resumes it in the mode it had. One saved mode, not a stack.
    void EnablePlayer(bool enable) override;
    // Applies the settings: caption, keyboard control, knob range, switches, volume, device.
    void InitializeCutter();
    // Stores the placement and flips the visibility, pausing or resuming the player.
    void ToggleVisible();

    TCutPlayerThread* Player() const { return player_.get(); }
    TCutObject* CurrentCutObject() const { return cut_; }
    TCueObject* CurrentCue() const { return cue_; }
    int32_t SavedPlayerMode() const { return savedMode_; }
    bool Seeking() const { return seeking_; }
    QString StatusText(int panel) const;
    // The window that shows or hides: the sub-window the form sits in, else the form itself.
    QWidget* Host();
    // Runs a key's command (keypad or main keyboard, cutter_keys.h) as the keyboard does; false
    // when it does nothing (no command, no player). Views of the cutter's file hand their keys
    // here.
    bool RunKeyCommand(CutterCommand command);
    // "Control cutter with keyboard": the cutter's keys act on the player.
    bool KeyboardControl() const { return keyPreview_; }

    // For the waveform window, which drives the cutter as the seek bar and the mark buttons do:
    // the position the marks and labels use, a move as at the end of a seek bar scroll, both
    // marks at once, and a frame as the labels show it.
    int32_t Position() const { return CurrentFrame(); }
    void SeekTo(int64_t frame);
    void SetMarks(int32_t markIn, int32_t markOut);
    std::string FrameLabel(int64_t frame) const { return Text(frame); }

  signals:
    // The file or cue, the marks or the time display changed (the labels were updated).
    void LabelsChanged();

  public slots:
    // One tick of the jog/shuttle, as JogTimer runs it every 250 ms while the knob is turned.
    void JogTimerTimer();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    QToolButton* PictureButton(const char* name, const char* hint, int icon, int x, int y);
    void CreatePlayer(std::unique_ptr<WaveOut> waveOut);

    // The handlers, named after their controls.
    void JumpInClick();
    void JumpPosClick();
    void JumpOutClick();
    void TimeTypeClick();
    void SeekBarScroll(bool endOfScroll, int position);
    void MarkBeginBtnClick();
    void MarkEndBtnClick();
    void MarkToCueListBtnClick();
    void CurrentToCueListBtnClick();
    void UpdateCueBtnClick();
    // Play, "Play marked selection", cue and pause: the player's command, with a file open.
    void TransportClick(bool (TCutPlayerThread::*command)());
    void ToFileBtnClick();
    void MuteBoxClick();
    void LoopBoxClick();
    void AutoPlayBoxClick();
    void JogShuttleChange();
    void VolumeBarScroll(int position);

    // The player's events.
    void PlayerModeChange(int mode);
    void PlayerStateChange(int state);
    void PositionChange(uint32_t frame);
    void PlayerError(int code);

    bool DispatchKey(QKeyEvent& event);
    // Wheel deltas over the window or the seek bar: JogMaxSpeed frames per notch.
    void Wheel(int delta);
    // The key names the buttons' tool tips show while the keyboard controls the cutter.
    void ShowKeysInToolTips();
    // Our own drag of a list row, over a part of the window that takes drops.
    bool TakesDropAt(const QMimeData* mime, const QPoint& position) const;
    void AnswerDrag(QDragMoveEvent& event) const;
    void SetMarkAtSeekBar(void (*setMark)(TCutObject&, int32_t));
    void UpdateMarkLabels();
    void UpdateStatusBar(bool showMarkedLength);
    void UpdateEnables();
    void ShowName(const std::string& name);
    // Closing the file or cue: the player closes, the window forgets the file.
    void CloseFile();
    // Starts playing the opened file; records why nothing plays when the player cannot open it.
    bool OpenOnPlayer(TCutObject* cut);
    void BringIntoView();
    void SetHostVisible(bool visible);
    bool PlayerOpen() const;
    bool HasFrames() const;
    // The position the marks and labels use: the player's, or the seek bar's when the player
    // does not hold the file.
    int32_t CurrentFrame() const;
    // Moves to a frame: through the player, or only the seek bar when it does not hold the file.
    void MoveTo(int64_t frame);
    void SetSeekBar(int32_t frameCount, int64_t position);
    // The window's own move of the seek bar, which the player does not follow.
    void ShowOnSeekBar(int64_t frame);
    std::string Text(int64_t frame) const;

    Prompts& prompts_;
    CueListModel* cueList_ = nullptr;
    QPointer<QAction> viewAction_;
    JumpDialog jumpDialog_;
    std::unique_ptr<TCutPlayerThread> player_;
    TCutObject* cut_ = nullptr;
    TCueObject* cue_ = nullptr;
    bool seeking_ = false;
    bool movingSeekBar_ = false;
    bool suspended_ = false;
    bool terminating_ = false;
    bool keyPreview_ = false;
    int32_t savedMode_ = 0;
    WheelAccumulator wheel_;
    // Why the open file does not play (no sound server, a device that refuses the format), ""
    // when it plays; shown after the name in status panel 0.
    std::string noSound_;

    QToolButton* markInBtn_ = nullptr;
    QToolButton* posBtn_ = nullptr;
    QToolButton* markOutBtn_ = nullptr;
    QLabel* markInLbl_ = nullptr;
    QLabel* posLbl_ = nullptr;
    QLabel* markOutLbl_ = nullptr;
    QScrollBar* seekBar_ = nullptr;
    QToolButton* markBeginBtn_ = nullptr;
    QToolButton* markPlayBtn_ = nullptr;
    QToolButton* markEndBtn_ = nullptr;
    QToolButton* markToCueListBtn_ = nullptr;
    QToolButton* currentToCueListBtn_ = nullptr;
    QToolButton* playBtn_ = nullptr;
    QToolButton* cueBtn_ = nullptr;
    QToolButton* pauseBtn_ = nullptr;
    QToolButton* updateCueBtn_ = nullptr;
    QToolButton* toFileBtn_ = nullptr;
    QCheckBox* muteBox_ = nullptr;
    QCheckBox* loopBox_ = nullptr;
    QCheckBox* autoPlayBox_ = nullptr;
    TKnob* jogShuttle_ = nullptr;
    QLabel* jogLbl_ = nullptr;
    QScrollBar* volumeBar_ = nullptr;
    QLabel* volumeLbl_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* panels_[3] = {nullptr, nullptr, nullptr};
    QTimer* jogTimer_ = nullptr;
    QAction* exportAction_ = nullptr;
    std::vector<QWidget*> dropRefusers_;
};

}  // namespace sw
