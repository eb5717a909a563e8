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
#include "cutter/cutter_session.h"
#include "cutter/ui/cutter_controls.h"
#include "player/qt/wave_out.h"
#include "project/cutter_link.h"
#include "project/ui/progress_cut_exporter.h"
#include "stream/cut_object.h"
#include "stream/prompts.h"

class QAction;
class QMimeData;

namespace sw {

class CueListModel;
class CutterPlayer;
class TCutPlayerThread;

// The cutter: plays one file or one cue under review, sets the file's marks, seeks by seek bar,
// keypad, jog/shuttle knob and wheel, and hands ranges to the cue list and to exports. It owns
// the program's one player; its controls hand every command to its session (cutter_session.h),
// which holds the rules and drives the player, and show what the session holds. Whoever frees
// a cut object or cue tells it first (CutObjectDeleted, CueDeleted).
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
    void SetCueList(CueListModel* cueList) { session_.SetCueList(cueList); }
    // The View menu's "&Cutter" item, which the toolbar's cutter button shares; its check state
    // follows the window's visibility.
    void SetViewAction(QAction* action);
    // The jump dialog: given the file's frame description and the current position, the frame
    // to jump to, or none when cancelled.
    using JumpDialog = std::function<std::optional<int32_t>(const TFrameInfo&, int32_t)>;
    void SetJumpDialog(JumpDialog dialog) { jumpDialog_ = std::move(dialog); }
    // Set when the program ends: closing the file then leaves the player alone.
    void SetTerminating(bool terminating) { session_.SetTerminating(terminating); }

    // Restores the stored placement (inside its sub-window, if any), the designed place without
    // one (left 235, top 115, beside the project bin), and puts the View item in step.
    void RestorePlacement(QPoint designed = QPoint(235, 115));

    void OpenCutObject(TCutObject* cut) override;
    void OpenCue(TCueObject* cue);
    void CutObjectChanged(TCutObject* cut) override;
    void CutObjectDeleted(TCutObject* cut) override;
    // A rescan of the open file closes it, as the bin's rescan of the open entry always has.
    void CutObjectReplaced(TCutObject* old, TCutObject*) override { CutObjectDeleted(old); }
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
    TCutObject* CurrentCutObject() const { return session_.File(); }
    TCueObject* CurrentCue() const { return session_.Cue(); }
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
    int32_t Position() const { return session_.Position(); }
    void SeekTo(int64_t frame);
    void SetMarks(int32_t markIn, int32_t markOut);
    std::string FrameLabel(int64_t frame) const { return session_.FrameLabel(frame); }

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
    void ConnectControls();
    void ConnectPlayer();

    // The handlers, named after their controls.
    void JumpPosClick();
    void SeekBarScroll(bool endOfScroll, int position);
    void ToFileBtnClick();
    void JogShuttleChange();

    // The player's events.
    void PlayerModeChange(int mode);
    void PositionChange(uint32_t frame);
    void PlayerError(int code);

    // The key names the buttons' tool tips show while the keyboard controls the cutter.
    void ShowKeysInToolTips();
    // Our own drag of a list row, over a part of the window that takes drops.
    bool TakesDropAt(const QMimeData* mime, const QPoint& position) const;
    void AnswerDrag(QDragMoveEvent& event) const;
    // Runs a session command that may move the position or the marks, then shows them.
    void Run(const std::function<void()>& command);
    // The open file or cue as the session holds it: seek bar, name, labels and enables.
    void ShowFile();
    void ShowName();
    // A position the player does not play (no sound, or none yet), on the seek bar and label.
    void ShowUnplayedPosition();
    void UpdateMarkLabels();
    void UpdateStatusBar(bool showMarkedLength);
    void UpdateEnables();
    // Closing the file or cue: the player closes, the window forgets the file.
    void CloseFile();
    void BringIntoView();
    void SetHostVisible(bool visible);
    // The window's own move of the seek bar, which the player does not follow; the bar's range is
    // the open file's.
    void ShowOnSeekBar(int64_t frame);

    Prompts& prompts_;
    QPointer<QAction> viewAction_;
    JumpDialog jumpDialog_;
    ProgressCutExporter exporter_;
    std::unique_ptr<TCutPlayerThread> player_;
    // player_ as the session sees it; none without a player.
    std::unique_ptr<CutterPlayer> playerLink_;
    CutterSession session_;
    bool seeking_ = false;
    bool movingSeekBar_ = false;
    bool keyPreview_ = false;
    CutterControls ui_;

    QAction* exportAction_ = nullptr;
    std::vector<QWidget*> dropRefusers_;
};

}  // namespace sw
