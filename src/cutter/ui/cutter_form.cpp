#include "cutter/ui/cutter_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <exception>

#include "app/qt/registered_action.h"
#include "app/qt/window_position.h"
#include "app/settings/global_settings.h"
#include "cutter/cutter_display.h"
#include "cutter/cutter_player.h"
#include "cutter/ui/cut_player_adapter.h"
#include "cutter/ui/cutter_controls.h"
#include "cutter/ui/jump_form.h"
#include "cutter/ui/keypad_key.h"
#include "player/player_mode.h"
#include "player/qt/cut_player_thread.h"
#include "player/qt/show_wave_out_error.h"
#include "widgets/ui/item_drag_object.h"
#include "widgets/ui/knob.h"
#include "widgets/ui/plain_tool_tip.h"

namespace sw {
namespace {

constexpr char kProgramTitle[] = "Slicewell 4";
QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::unique_ptr<TCutPlayerThread> NewPlayer(std::unique_ptr<WaveOut> waveOut) {
    try {
        return std::make_unique<TCutPlayerThread>(std::move(waveOut));
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace

TCutterForm::TCutterForm(Prompts& prompts, std::unique_ptr<WaveOut> waveOut, QWidget* parent)
    : QWidget(parent),
      prompts_(prompts),
      exporter_(prompts),
      player_(NewPlayer(std::move(waveOut))),
      playerLink_(player_ ? std::make_unique<CutPlayerAdapter>(*player_) : nullptr),
      session_(GlobalSettings(), prompts, exporter_, playerLink_.get()),
      ui_(*this,
          [this] {
              session_.ToggleTimeDisplay();
              UpdateMarkLabels();
          }),
      dropRefusers_(ui_.DropRefusers()) {
    setObjectName("CutterForm");
    setAccessibleName("Cutter");
    setFixedSize(kCutterClientWidth, kCutterClientHeight);
    setAcceptDrops(true);
    session_.SetShownQuery([this] { return Host()->isVisible(); });
    jumpDialog_ = [this](const TFrameInfo& info, int32_t position) -> std::optional<int32_t> {
        int32_t frame = position;
        if (ExecuteJump(this, prompts_, info, session_.Settings().RealTimeCodes, frame)) {
            return frame;
        }
        return std::nullopt;
    };
    ConnectControls();
    UpdateEnables();
    ConnectPlayer();
    qApp->installEventFilter(this);
}

TCutterForm::~TCutterForm() {
    qApp->removeEventFilter(this);
    if (player_) {
        player_->SetActive(true);
        CloseFile();
        // The player may be freed with the window's children no more than once.
        player_.reset();
    }
}

void TCutterForm::ConnectPlayer() {
    InitializeCutter();
    if (!player_) {
        // Without a player the window still marks, makes cues and exports.
        prompts_.Error(kProgramTitle, "Unable to create player");
        return;
    }
    connect(player_.get(), &TCutPlayerThread::OnPlayerModeChange, this,
            &TCutterForm::PlayerModeChange);
    connect(player_.get(), &TCutPlayerThread::OnPlayerStateChange, this,
            [this] { UpdateEnables(); });
    connect(player_.get(), &TCutPlayerThread::OnProgress, this, &TCutterForm::PositionChange);
    connect(player_.get(), &TCutPlayerThread::OnError, this, &TCutterForm::PlayerError);
    player_->SetActive(true);
}

void TCutterForm::ConnectControls() {
    connect(ui_.markInBtn, &QToolButton::clicked, this,
            [this] { Run([this] { session_.JumpToMarkIn(); }); });
    connect(ui_.posBtn, &QToolButton::clicked, this, &TCutterForm::JumpPosClick);
    connect(ui_.markOutBtn, &QToolButton::clicked, this,
            [this] { Run([this] { session_.JumpToMarkOut(); }); });
    // Qt's scroll bar reports no end of scroll: a thumb drag scrolls until the thumb is released,
    // and every other change of its value (an arrow or the trough clicked or held, a key, the
    // context menu's "Scroll here") is a scroll and its end at once, so the player follows the
    // bar whichever way it moved. The window's own moves of the bar (the player's progress) are
    // not the user's and move nothing.
    connect(ui_.seekBar, &QScrollBar::sliderMoved, this,
            [this](int position) { SeekBarScroll(false, position); });
    connect(ui_.seekBar, &QScrollBar::sliderReleased, this,
            [this] { SeekBarScroll(true, ui_.seekBar->sliderPosition()); });
    connect(ui_.seekBar, &QScrollBar::valueChanged, this, [this](int position) {
        if (movingSeekBar_ || ui_.seekBar->isSliderDown()) {
            return;
        }
        SeekBarScroll(false, position);
        SeekBarScroll(true, position);
    });
    connect(ui_.markBeginBtn, &QToolButton::clicked, this,
            [this] { Run([this] { session_.SetMarkIn(ui_.seekBar->value()); }); });
    connect(ui_.markPlayBtn, &QToolButton::clicked, this,
            [this] { session_.Transport(&CutterPlayer::PlayMark); });
    connect(ui_.markEndBtn, &QToolButton::clicked, this,
            [this] { Run([this] { session_.SetMarkOut(ui_.seekBar->value()); }); });
    connect(ui_.markToCueListBtn, &QToolButton::clicked, this,
            [this] { session_.SelectionToCueList(); });
    connect(ui_.currentToCueListBtn, &QToolButton::clicked, this,
            [this] { session_.PositionToCueList(); });
    connect(ui_.playBtn, &QToolButton::clicked, this,
            [this] { session_.Transport(&CutterPlayer::Play); });
    connect(ui_.cueBtn, &QToolButton::clicked, this,
            [this] { session_.Transport(&CutterPlayer::Cue); });
    connect(ui_.pauseBtn, &QToolButton::clicked, this,
            [this] { session_.Transport(&CutterPlayer::Pause); });
    connect(ui_.updateCueBtn, &QToolButton::clicked, this, [this] { session_.UpdateCue(); });
    connect(ui_.toFileBtn, &QToolButton::clicked, this, &TCutterForm::ToFileBtnClick);
    // A change of state, by the user or by InitializeCutter, runs the box's handler.
    connect(ui_.muteBox, &QCheckBox::toggled, this, [this](bool muted) {
        session_.SetMuted(muted);
        ui_.volumeBar->setEnabled(!muted);
    });
    connect(ui_.loopBox, &QCheckBox::toggled, this,
            [this](bool looped) { session_.SetLooped(looped); });
    connect(ui_.autoPlayBox, &QCheckBox::toggled, this,
            [this](bool autoPlay) { session_.SetAutoPlay(autoPlay); });
    connect(ui_.jogShuttle, &TKnob::OnChange, this, [this] { JogShuttleChange(); });
    connect(ui_.jogTimer, &QTimer::timeout, this, &TCutterForm::JogTimerTimer);
    connect(ui_.volumeBar, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderNoAction) {
            session_.SetVolume(kCutterVolumeMax - ui_.volumeBar->sliderPosition());
        }
    });

    exportAction_ =
        RegisteredAction(this, "CutterExportAction", "Export currently marked selection to file");
    exportAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(exportAction_, &QAction::triggered, this, [this] {
        if (ui_.toFileBtn->isEnabled()) {
            ToFileBtnClick();
        }
    });
    addAction(exportAction_);
    ui_.toFileBtn->setToolTip(ui_.toFileBtn->toolTip() + " (" +
                              exportAction_->shortcut().toString(QKeySequence::NativeText) + ")");
}

QWidget* TCutterForm::Host() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        return sub;
    }
    return this;
}

void TCutterForm::SetViewAction(QAction* action) {
    viewAction_ = action;
    if (viewAction_) {
        viewAction_->setChecked(Host()->isVisible());
    }
}

void TCutterForm::RestorePlacement(QPoint designed) {
    Host()->move(designed);
    RestoreWindowPosition(this);
    if (viewAction_) {
        viewAction_->setChecked(Host()->isVisible());
    }
}

QString TCutterForm::StatusText(int panel) const {
    return panel >= 0 && panel < 3 ? ui_.panels[panel]->text() : QString();
}

void TCutterForm::ShowOnSeekBar(int64_t frame) {
    // An empty index would give 0..-1, and a cue may start past the file's end: the range is
    // never reversed and the position never outside it.
    const int32_t frames = session_.FrameCount();
    movingSeekBar_ = true;
    ui_.seekBar->setRange(0, SeekBarMaximum(frames));
    ui_.seekBar->setValue(SeekBarPosition(frame, frames));
    movingSeekBar_ = false;
}

void TCutterForm::ShowUnplayedPosition() {
    if (session_.HasFrames() && !session_.PlayerOpen()) {
        ShowOnSeekBar(session_.Position());
        ui_.posLbl->setText(Q(session_.FrameLabel(ui_.seekBar->value())));
    }
}

void TCutterForm::Run(const std::function<void()>& command) {
    const int32_t before = session_.Position();
    command();
    if (session_.Position() != before) {
        ShowUnplayedPosition();
    }
    UpdateMarkLabels();
    UpdateEnables();
}

void TCutterForm::ShowName() {
    ui_.panels[0]->setText(Q(session_.ShownName()));
    ui_.panels[0]->setToolTip(PlainToolTip(ui_.panels[0]->text()));
}

void TCutterForm::ShowFile() {
    if (!session_.PlayerOpen()) {
        // Closing, or a file the player cannot open, reports no mode: the panel would keep the
        // last file's.
        ui_.panels[1]->setText(QString::fromLatin1(PlayerModeName(kModeNone)));
    }
    ShowOnSeekBar(session_.Position());
    ShowName();
    UpdateMarkLabels();
    UpdateEnables();
}

void TCutterForm::BringIntoView() {
    if (Host()->isVisible() || session_.Terminating()) {
        return;
    }
    // Whatever played before the window was hidden stays paused: the file about to open decides
    // by Autoplay whether it plays.
    session_.ForgetSavedMode();
    SetHostVisible(true);
}

void TCutterForm::CloseFile() {
    session_.Close();
    ShowFile();
}

void TCutterForm::OpenCutObject(TCutObject* cut) {
    if (QCoreApplication::closingDown()) {
        session_.SetTerminating(true);
    }
    if (cut != nullptr) {
        BringIntoView();
    }
    if (session_.OpenCutObject(cut)) {
        ShowFile();
    }
}

void TCutterForm::OpenCue(TCueObject* cue) {
    if (QCoreApplication::closingDown()) {
        session_.SetTerminating(true);
    }
    if (cue != nullptr && cue->CutObject != nullptr) {
        BringIntoView();
    }
    if (session_.OpenCue(cue)) {
        ShowFile();
    }
}

void TCutterForm::CutObjectChanged(TCutObject* cut) {
    if (session_.Shows(cut)) {
        ShowName();
        UpdateMarkLabels();
    }
}

void TCutterForm::CutObjectDeleted(TCutObject* cut) {
    if (cut != nullptr && cut == session_.File()) {
        OpenCutObject(nullptr);
    }
}

void TCutterForm::CueChanged(TCueObject* cue) {
    if (cue != nullptr && cue == session_.Cue()) {
        ShowName();
        UpdateMarkLabels();
    }
}

void TCutterForm::CueDeleted(TCueObject* cue) {
    if (cue != nullptr && cue == session_.Cue()) {
        OpenCue(nullptr);
    }
}

void TCutterForm::UpdateEnables() {
    const CutterEnables e = session_.Enables();
    for (QWidget* w : ui_.TransportGroup()) {
        w->setEnabled(e.transport);
    }
    for (QWidget* w : ui_.MarkingGroup()) {
        w->setEnabled(e.marking);
    }
    ui_.markPlayBtn->setEnabled(e.markPlay);
    ui_.markToCueListBtn->setEnabled(e.list);
    ui_.currentToCueListBtn->setEnabled(e.list);
    ui_.toFileBtn->setEnabled(e.list);
    ui_.updateCueBtn->setEnabled(e.updateCue);
    if (!e.transport && ui_.jogShuttle->Position() != 0) {
        ui_.jogShuttle->SetPosition(0);
    }
}

void TCutterForm::UpdateMarkLabels() {
    if (const TCutObject* cut = session_.File()) {
        ui_.posLbl->setText(Q(session_.FrameLabel(session_.Position())));
        ui_.markInLbl->setText(Q(session_.FrameLabel(cut->MarkIn)));
        ui_.markOutLbl->setText(Q(session_.FrameLabel(cut->MarkOut)));
    } else {
        for (QLabel* label : {ui_.posLbl, ui_.markInLbl, ui_.markOutLbl}) {
            label->setText(Q(session_.NoFrameLabel()));
        }
    }
    UpdateStatusBar(!player_ || player_->PlayerMode() != kModePlayAll);
    emit LabelsChanged();
}

void TCutterForm::UpdateStatusBar(bool showMarkedLength) {
    ui_.panels[2]->setText(Q(session_.LengthLabel(showMarkedLength)));
}

void TCutterForm::PlayerModeChange(int mode) {
    ui_.panels[1]->setText(QString::fromLatin1(PlayerModeName(mode)));
    UpdateStatusBar(mode != kModePlayAll);
}

void TCutterForm::PositionChange(uint32_t frame) {
    if (session_.File() == nullptr) {
        return;
    }
    if (!seeking_) {
        ShowOnSeekBar(frame);
    }
    ui_.posLbl->setText(Q(session_.FrameLabel(frame)));
}

void TCutterForm::PlayerError(int code) {
    session_.HoldPlayerWhile([&] { ShowWaveOutError(prompts_, player_->Output(), code); });
}

void TCutterForm::JumpPosClick() {
    if (!session_.HasFrames() || !jumpDialog_) {
        return;
    }
    const std::optional<int32_t> frame = jumpDialog_(session_.File()->FrameInfo, Position());
    if (frame) {
        Run([&] { session_.MoveTo(*frame); });
    }
}

void TCutterForm::SeekBarScroll(bool endOfScroll, int position) {
    if (!session_.HasFrames()) {
        return;
    }
    seeking_ = !endOfScroll;
    if (!endOfScroll) {
        ui_.panels[1]->setText("Seeking");
        ui_.panels[2]->setText(Q(session_.FrameLabel(position)));
        return;
    }
    if (session_.PlayerOpen()) {
        PlayerModeChange(player_->PlayerMode());
    } else {
        ui_.panels[1]->setText(QString::fromLatin1(PlayerModeName(kModeNone)));
        UpdateStatusBar(true);
    }
    session_.MoveTo(position);
    ShowUnplayedPosition();
}

void TCutterForm::SeekTo(int64_t frame) {
    if (session_.HasFrames()) {
        SeekBarScroll(true, SeekBarPosition(frame, session_.FrameCount()));
    }
}

void TCutterForm::SetMarks(int32_t markIn, int32_t markOut) {
    Run([&] { session_.SetMarks(markIn, markOut); });
}

void TCutterForm::ToFileBtnClick() {
    const std::string target = session_.ChooseExportTarget();
    if (target.empty()) {
        return;
    }
    PlayerPause pause(this);
    session_.ExportSelection(target);
}

void TCutterForm::JogShuttleChange() {
    if (ui_.jogShuttle->Position() != 0) {
        if (!ui_.jogTimer->isActive()) {
            ui_.jogTimer->start();
        }
    } else {
        ui_.jogTimer->stop();
    }
}

void TCutterForm::JogTimerTimer() {
    if (session_.Jog(ui_.jogShuttle->Position())) {
        ShowOnSeekBar(session_.Position());
    }
}

void TCutterForm::ShowKeysInToolTips() {
    const auto keys = [](CutterCommand command) {
        return QKeySequence(QString::fromStdString(KeysOfCommand(command)),
                            QKeySequence::PortableText)
            .toString(QKeySequence::NativeText);
    };
    const struct {
        QWidget* control;
        CutterCommand command;
    } buttons[] = {{ui_.playBtn, CutterCommand::PlayPause},
                   {ui_.pauseBtn, CutterCommand::PlayPause},
                   {ui_.markBeginBtn, CutterCommand::SetMarkIn},
                   {ui_.markEndBtn, CutterCommand::SetMarkOut},
                   {ui_.markToCueListBtn, CutterCommand::SelectionToCueList}};
    for (const auto& button : buttons) {
        // The status tip keeps the bare hint; the tool tip adds the key while it works.
        const QString hint = button.control->statusTip();
        button.control->setToolTip(keyPreview_ ? hint + " (" + keys(button.command) + ")" : hint);
    }
    ui_.seekBar->setToolTip(keyPreview_ ? keys(CutterCommand::FrameBack) + " / " +
                                              keys(CutterCommand::FrameForward) + ": one frame, " +
                                              keys(CutterCommand::SecondBack) + " / " +
                                              keys(CutterCommand::SecondForward) + ": one second"
                                        : QString());
}

void TCutterForm::InitializeCutter() {
    const TGlobalSettings& settings = session_.Settings();
    setWindowTitle(Q(CutterCaption(settings.CutterKBControl)));
    keyPreview_ = settings.CutterKBControl;
    ShowKeysInToolTips();
    ui_.jogShuttle->SetParams(ui_.jogShuttle->Position(), -settings.JogMaxSpeed,
                              settings.JogMaxSpeed);
    ui_.muteBox->setChecked(settings.CutterMuted);
    ui_.loopBox->setChecked(settings.CutterLooped);
    ui_.autoPlayBox->setChecked(settings.CutterAutoPlay);
    ui_.volumeBar->setEnabled(!settings.CutterMuted);
    ui_.volumeBar->setValue(kCutterVolumeMax - settings.PlayerVolume);
    session_.ApplySettings();
    UpdateMarkLabels();
}

void TCutterForm::EnablePlayer(bool enable) {
    session_.EnablePlayer(enable);
    UpdateEnables();
}

void TCutterForm::SetHostVisible(bool visible) {
    // Shown before resuming and paused before hiding: resuming asks whether the window is
    // visible.
    if (visible) {
        Host()->showNormal();
        EnablePlayer(true);
    } else {
        EnablePlayer(false);
        Host()->hide();
    }
    if (viewAction_) {
        viewAction_->setChecked(visible);
    }
}

void TCutterForm::ToggleVisible() {
    const bool visible = Host()->isVisible();
    session_.DeactivatePlayer();
    SaveWindowPosition(this, visible);
    SetHostVisible(!visible);
}

void TCutterForm::closeEvent(QCloseEvent* event) {
    // The window is never closed while the program runs, only hidden.
    if (session_.Terminating()) {
        event->accept();
        return;
    }
    event->ignore();
    ToggleVisible();
}

void TCutterForm::wheelEvent(QWheelEvent* event) {
    event->accept();
    session_.Wheel(event->angleDelta().y());
}

bool TCutterForm::TakesDropAt(const QMimeData* mime, const QPoint& position) const {
    if (!TItemDragObject::Instance().CarriesItem(mime)) {
        return false;
    }
    for (QWidget* w = childAt(position); w != nullptr && w != this; w = w->parentWidget()) {
        if (std::find(dropRefusers_.begin(), dropRefusers_.end(), w) != dropRefusers_.end()) {
            return false;
        }
    }
    return true;
}

void TCutterForm::dragEnterEvent(QDragEnterEvent* event) {
    AnswerDrag(*event);
}

void TCutterForm::dragMoveEvent(QDragMoveEvent* event) {
    AnswerDrag(*event);
}

void TCutterForm::AnswerDrag(QDragMoveEvent& event) const {
    if (TakesDropAt(event.mimeData(), event.position().toPoint())) {
        event.acceptProposedAction();
    } else {
        event.ignore();
    }
}

void TCutterForm::dropEvent(QDropEvent* event) {
    if (!TakesDropAt(event->mimeData(), event->position().toPoint())) {
        event->ignore();
        return;
    }
    const TItemDragObject::DraggedItem item = TItemDragObject::Instance().Item();
    TItemDragObject::Instance().Clear();
    event->acceptProposedAction();
    if (item.kind == TItemDragObject::Kind::BinEntry) {
        OpenCutObject(item.cutObject);
    } else if (item.kind == TItemDragObject::Kind::Cue) {
        OpenCue(item.cue);
    }
}

bool TCutterForm::eventFilter(QObject* watched, QEvent* event) {
    // The seek bar would scroll by its own steps, the other way round: over it the wheel moves
    // the player as it does over the rest of the window.
    if (watched == ui_.seekBar && event->type() == QEvent::Wheel) {
        session_.Wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    if (event->type() != QEvent::KeyPress || !keyPreview_) {
        return false;
    }
    // The key reaches its focus widget first and then climbs the parents; it is looked at once,
    // on its way into the focused control inside this window.
    auto* target = qobject_cast<QWidget*>(watched);
    QWidget* focus = QApplication::focusWidget();
    if (target == nullptr || (focus != nullptr && target != focus) ||
        (target != this && !isAncestorOf(target))) {
        return false;
    }
    // Acted-on keys are taken: with Num Lock off the keypad's are arrows and page keys, and the
    // main keyboard's are arrows and Space, which the focused control would also act on.
    return RunKeyCommand(CutterKeyCommand(*static_cast<QKeyEvent*>(event)));
}

bool TCutterForm::RunKeyCommand(CutterCommand command) {
    if (command == CutterCommand::None || !player_) {
        return false;
    }
    if (command == CutterCommand::KnobToZero) {
        ui_.jogShuttle->SetPosition(0);
    } else if (command == CutterCommand::JumpDialog) {
        JumpPosClick();
    } else {
        Run([&] { session_.RunKeyCommand(command, ui_.seekBar->value()); });
    }
    return true;
}

}  // namespace sw
