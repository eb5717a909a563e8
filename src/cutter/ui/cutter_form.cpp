#include "cutter/ui/cutter_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <exception>

#include "app/qt/registered_action.h"
#include "app/qt/window_position.h"
#include "app/settings/global_settings.h"
#include "cutter/cutter_cue_list.h"
#include "cutter/cutter_display.h"
#include "cutter/cutter_keys.h"
#include "cutter/ui/jump_form.h"
#include "cutter/ui/keypad_key.h"
#include "engine/ui/export_operations.h"
#include "player/player_mode.h"
#include "player/qt/cut_player_thread.h"
#include "player/qt/show_wave_out_error.h"
#include "player/qt/wave_out.h"
#include "project/cue_file.h"
#include "stream/file_names.h"
#include "stream/time_code.h"
#include "widgets/ui/item_drag_object.h"
#include "widgets/ui/knob.h"
#include "widgets/ui/plain_tool_tip.h"

namespace sw {
namespace {

constexpr char kProgramTitle[] = "Slicewell 4";
constexpr int kClientWidth = 406;
constexpr int kClientHeight = 164;
constexpr int kStatusHeight = 19;
constexpr int kPanelWidths[3] = {261, 65, 65};
constexpr int kPanelPadding = 10;

// The designed widths, unless the desktop's font needs more for the mode and the length: those
// two panels then grow to fit "Play Mark" and "00:00:00.00", and the file name's panel gives way.
int PanelWidth(int panel, const QFontMetrics& metrics) {
    const int mode = std::max(
        kPanelWidths[1], metrics.horizontalAdvance(QStringLiteral("Play Mark")) + kPanelPadding);
    const int length = std::max(
        kPanelWidths[2], metrics.horizontalAdvance(QStringLiteral("00:00:00.00")) + kPanelPadding);
    switch (panel) {
        case 1:
            return mode;
        case 2:
            return length;
        default:
            return kPanelWidths[0] + kPanelWidths[1] + kPanelWidths[2] - mode - length;
    }
}
constexpr int kVolumeMax = 65535;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void SetHint(QWidget* widget, const char* hint) {
    widget->setToolTip(QString::fromUtf8(hint));
    widget->setStatusTip(QString::fromUtf8(hint));
}

// The position labels answer a click by switching between time and frame display.
class ClickLabel : public QLabel {
  public:
    ClickLabel(std::function<void()> onClick, QWidget* parent)
        : QLabel(parent), onClick_(std::move(onClick)) {}

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            onClick_();
        }
        QLabel::mousePressEvent(event);
    }

  private:
    std::function<void()> onClick_;
};

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

TCutterForm::TCutterForm(Prompts& prompts, std::unique_ptr<WaveOut> waveOut, QWidget* parent)
    : QWidget(parent), prompts_(prompts) {
    setObjectName("CutterForm");
    setAccessibleName("Cutter");
    setFixedSize(kClientWidth, kClientHeight);
    setAcceptDrops(true);
    jumpDialog_ = [this](const TFrameInfo& info, int32_t position) -> std::optional<int32_t> {
        int32_t frame = position;
        if (ExecuteJump(this, prompts_, info, GlobalSettings().RealTimeCodes, frame)) {
            return frame;
        }
        return std::nullopt;
    };
    CreateControls();
    UpdateEnables();
    CreatePlayer(std::move(waveOut));
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

void TCutterForm::CreatePlayer(std::unique_ptr<WaveOut> waveOut) {
    try {
        player_ = std::make_unique<TCutPlayerThread>(std::move(waveOut));
        InitializeCutter();
        connect(player_.get(), &TCutPlayerThread::OnPlayerModeChange, this,
                &TCutterForm::PlayerModeChange);
        connect(player_.get(), &TCutPlayerThread::OnPlayerStateChange, this,
                &TCutterForm::PlayerStateChange);
        connect(player_.get(), &TCutPlayerThread::OnProgress, this, &TCutterForm::PositionChange);
        connect(player_.get(), &TCutPlayerThread::OnError, this, &TCutterForm::PlayerError);
        player_->SetActive(true);
    } catch (const std::exception&) {
        // Without a player the window still marks, makes cues and exports.
        player_.reset();
        InitializeCutter();
        prompts_.Error(kProgramTitle, "Unable to create player");
    }
}

QToolButton* TCutterForm::PictureButton(const char* name, const char* hint, int icon, int x,
                                        int y) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setAccessibleName(QString::fromUtf8(hint));
    SetHint(button, hint);
    button->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
    button->setAutoRaise(true);
    button->setGeometry(x, y, 28, 26);
    return button;
}

void TCutterForm::CreateControls() {
    auto textButton = [&](const char* name, const char* caption, const char* hint, int x) {
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(QString::fromUtf8(caption));
        button->setAccessibleName(QString::fromUtf8(caption));
        SetHint(button, hint);
        button->setAutoRaise(true);
        button->setGeometry(x, 4, 94, 20);
        return button;
    };
    markInBtn_ = textButton("MarkInBtn", "Mark-in", "Jump to mark-in position", 4);
    posBtn_ = textButton("PosBtn", "Current", "Jump to a specified position", 102);
    markOutBtn_ = textButton("MarkOutBtn", "Mark-out", "Jump to mark-out position", 200);
    connect(markInBtn_, &QToolButton::clicked, this, &TCutterForm::JumpInClick);
    connect(posBtn_, &QToolButton::clicked, this, &TCutterForm::JumpPosClick);
    connect(markOutBtn_, &QToolButton::clicked, this, &TCutterForm::JumpOutClick);

    auto positionLabel = [&](const char* name, const char* accessible, const char* hint, int x) {
        auto* label = new ClickLabel([this] { TimeTypeClick(); }, this);
        label->setObjectName(name);
        // A screen reader reads the shown time as the label's name.
        label->setAccessibleDescription(QString::fromUtf8(accessible));
        SetHint(label, hint);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setText("00:00:00.00");
        label->setGeometry(x, 26, 94, 20);
        return label;
    };
    markInLbl_ =
        positionLabel("MarkInLbl", "Mark-in position",
                      "Current mark-in position (Click to change from time to frame display)", 4);
    posLbl_ = positionLabel("PosLbl", "Current position",
                            "Current position (Click to change from time to frame display)", 102);
    markOutLbl_ = positionLabel(
        "MarkOutLbl", "Mark-out position",
        "Current mark-out position (Click to change from time to frame display)", 200);

    seekBar_ = new QScrollBar(Qt::Horizontal, this);
    seekBar_->setObjectName("SeekBar");
    seekBar_->setAccessibleName("Seek bar");
    seekBar_->setGeometry(4, 50, 290, 17);
    seekBar_->setRange(0, 0);
    seekBar_->setSingleStep(1);
    seekBar_->setPageStep(10);
    // Qt's scroll bar reports no end of scroll: a thumb drag scrolls until the thumb is released,
    // and every other change of its value (an arrow or the trough clicked or held, a key, the
    // context menu's "Scroll here") is a scroll and its end at once, so the player follows the
    // bar whichever way it moved. The window's own moves of the bar (the player's progress) are
    // not the user's and move nothing.
    connect(seekBar_, &QScrollBar::sliderMoved, this,
            [this](int position) { SeekBarScroll(false, position); });
    connect(seekBar_, &QScrollBar::sliderReleased, this,
            [this] { SeekBarScroll(true, seekBar_->sliderPosition()); });
    connect(seekBar_, &QScrollBar::valueChanged, this, [this](int position) {
        if (movingSeekBar_ || seekBar_->isSliderDown()) {
            return;
        }
        SeekBarScroll(false, position);
        SeekBarScroll(true, position);
    });

    markBeginBtn_ =
        PictureButton("MarkBeginBtn", "Set mark-in position", QStyle::SP_MediaSkipBackward, 4, 72);
    markPlayBtn_ =
        PictureButton("MarkPlayBtn", "Play marked selection", QStyle::SP_MediaSeekForward, 32, 72);
    markEndBtn_ =
        PictureButton("MarkEndBtn", "Set mark-out position", QStyle::SP_MediaSkipForward, 60, 72);
    markToCueListBtn_ = PictureButton("MarkToCueListBtn", "Put current selection on cue-list",
                                      QStyle::SP_FileDialogListView, 96, 72);
    currentToCueListBtn_ = PictureButton("CurrentToCueListBtn", "Put current position on cue-list",
                                         QStyle::SP_FileDialogDetailedView, 124, 72);
    playBtn_ = PictureButton("PlayBtn", "Play complete file", QStyle::SP_MediaPlay, 4, 100);
    cueBtn_ = PictureButton("CueBtn", "Cue at current position", QStyle::SP_BrowserReload, 32, 100);
    pauseBtn_ = PictureButton("PauseBtn", "Pause playback", QStyle::SP_MediaPause, 60, 100);
    updateCueBtn_ = PictureButton("UpdateCueBtn", "Update currently playing cue",
                                  QStyle::SP_DialogApplyButton, 96, 100);
    toFileBtn_ = PictureButton("ToFileBtn", "Export currently marked selection to file",
                               QStyle::SP_DialogSaveButton, 124, 100);
    connect(markBeginBtn_, &QToolButton::clicked, this, &TCutterForm::MarkBeginBtnClick);
    connect(markPlayBtn_, &QToolButton::clicked, this,
            [this] { TransportClick(&TCutPlayerThread::PlayMark); });
    connect(markEndBtn_, &QToolButton::clicked, this, &TCutterForm::MarkEndBtnClick);
    connect(markToCueListBtn_, &QToolButton::clicked, this, &TCutterForm::MarkToCueListBtnClick);
    connect(currentToCueListBtn_, &QToolButton::clicked, this,
            &TCutterForm::CurrentToCueListBtnClick);
    connect(playBtn_, &QToolButton::clicked, this,
            [this] { TransportClick(&TCutPlayerThread::Play); });
    connect(cueBtn_, &QToolButton::clicked, this,
            [this] { TransportClick(&TCutPlayerThread::Cue); });
    connect(pauseBtn_, &QToolButton::clicked, this,
            [this] { TransportClick(&TCutPlayerThread::Pause); });
    connect(updateCueBtn_, &QToolButton::clicked, this, &TCutterForm::UpdateCueBtnClick);
    connect(toFileBtn_, &QToolButton::clicked, this, &TCutterForm::ToFileBtnClick);

    auto separator = [&](int x, int y) {
        auto* line = new QFrame(this);
        line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        line->setGeometry(x, y + 2, 4, 22);
    };
    separator(90, 72);
    separator(90, 100);
    separator(154, 72);
    separator(154, 100);

    auto checkBox = [&](const char* name, const char* caption, const char* hint, int y) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), this);
        box->setObjectName(name);
        box->setAccessibleName(QString::fromUtf8(caption));
        SetHint(box, hint);
        box->setGeometry(162, y, 90, 18);
        return box;
    };
    muteBox_ = checkBox("MuteBox", "Mute", "Mute / unmute audio output", 74);
    loopBox_ = checkBox("LoopBox", "Loop", "Loop file or marked selection", 92);
    autoPlayBox_ = checkBox("AutoPlayBox", "Autoplay",
                            "Automatically start playing when a file or cue is selected", 110);
    // A change of state, by the user or by InitializeCutter, runs the box's handler.
    connect(muteBox_, &QCheckBox::toggled, this, &TCutterForm::MuteBoxClick);
    connect(loopBox_, &QCheckBox::toggled, this, &TCutterForm::LoopBoxClick);
    connect(autoPlayBox_, &QCheckBox::toggled, this, &TCutterForm::AutoPlayBoxClick);

    jogLbl_ = new QLabel(this);
    jogLbl_->setObjectName("JogLbl");
    jogLbl_->setAccessibleDescription("Jog speed");
    jogLbl_->setAlignment(Qt::AlignCenter);
    QFont bold = jogLbl_->font();
    bold.setBold(true);
    jogLbl_->setFont(bold);
    QPalette blue = jogLbl_->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    jogLbl_->setPalette(blue);
    jogLbl_->setGeometry(300, 6, 86, 18);

    jogShuttle_ = new TKnob(this);
    jogShuttle_->setObjectName("JogShuttle");
    jogShuttle_->setAccessibleName("Seek quickly through file");
    SetHint(jogShuttle_, "Seek quickly through file");
    jogShuttle_->setGeometry(306, 32, 74, 74);
    jogShuttle_->SetLineColor(Qt::blue);
    jogShuttle_->SetPageSize(16);
    jogShuttle_->SetParams(0, -5, 5);
    jogShuttle_->SetPositionLabel(jogLbl_);
    jogShuttle_->SetSpringLoaded(true);
    connect(jogShuttle_, &TKnob::OnChange, this, [this] { JogShuttleChange(); });

    jogTimer_ = new QTimer(this);
    jogTimer_->setObjectName("JogTimer");
    jogTimer_->setInterval(250);
    connect(jogTimer_, &QTimer::timeout, this, &TCutterForm::JogTimerTimer);

    volumeBar_ = new QScrollBar(Qt::Vertical, this);
    volumeBar_->setObjectName("VolumeBar");
    volumeBar_->setAccessibleName("Volume");
    volumeBar_->setToolTip("Volume");
    volumeBar_->setStatusTip("Playback volume");
    // The bar is a bare strip at the window's edge: its label sits beside its foot, under the
    // knob.
    volumeLbl_ = new QLabel("Volume", this);
    volumeLbl_->setObjectName("VolumeLbl");
    volumeLbl_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    volumeLbl_->setBuddy(volumeBar_);
    volumeLbl_->setGeometry(300, kClientHeight - kStatusHeight - 22, 86, 18);
    volumeBar_->setRange(0, kVolumeMax);
    volumeBar_->setSingleStep(kVolumeMax / 64);
    volumeBar_->setPageStep(kVolumeMax / 8);
    volumeBar_->setGeometry(kClientWidth - 17, 2, 16, kClientHeight - kStatusHeight - 4);
    connect(volumeBar_, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderNoAction) {
            VolumeBarScroll(volumeBar_->sliderPosition());
        }
    });

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar");
    statusBar_->setSizeGripEnabled(false);
    statusBar_->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
    const char* panelNames[3] = {"Status file", "Status mode", "Status length"};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(statusBar_);
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels_[i]->setAccessibleDescription(QString::fromLatin1(panelNames[i]));
        panels_[i]->setFixedWidth(PanelWidth(i, panels_[i]->fontMetrics()));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The file panel shows a file or cue name: data, never markup.
        panels_[i]->setTextFormat(Qt::PlainText);
        if (i > 0) {
            panels_[i]->setAlignment(Qt::AlignCenter);
        }
        statusBar_->addWidget(panels_[i]);
    }

    // Buttons, the seek bar, the knob and the volume bar take no drops. They do not accept
    // drops themselves, so Qt hands every drag over the window to the window, which refuses it
    // over them by position.
    dropRefusers_ = {markInBtn_,           posBtn_,      markOutBtn_, seekBar_,
                     markBeginBtn_,        markPlayBtn_, markEndBtn_, markToCueListBtn_,
                     currentToCueListBtn_, playBtn_,     cueBtn_,     pauseBtn_,
                     updateCueBtn_,        toFileBtn_,   jogShuttle_, volumeBar_};

    exportAction_ =
        RegisteredAction(this, "CutterExportAction", "Export currently marked selection to file");
    exportAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(exportAction_, &QAction::triggered, this, [this] {
        if (toFileBtn_->isEnabled()) {
            ToFileBtnClick();
        }
    });
    addAction(exportAction_);
    toFileBtn_->setToolTip(toFileBtn_->toolTip() + " (" +
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
    return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString();
}

bool TCutterForm::PlayerOpen() const {
    return player_ && player_->PlayerState() == kStateOpen && cut_ != nullptr;
}

bool TCutterForm::HasFrames() const {
    return cut_ != nullptr && cut_->FrameCount() > 0;
}

int32_t TCutterForm::CurrentFrame() const {
    if (PlayerOpen()) {
        return int32_t(player_->Position());
    }
    return seekBar_->value();
}

std::string TCutterForm::Text(int64_t frame) const {
    const TFrameInfo info = cut_ != nullptr ? cut_->FrameInfo : kNoFrame;
    return FrameText(info, frame, GlobalSettings().ShowCutterTime, GlobalSettings().RealTimeCodes);
}

void TCutterForm::MoveTo(int64_t frame) {
    if (!HasFrames()) {
        return;
    }
    if (PlayerOpen()) {
        player_->SetPosition(frame);
        return;
    }
    ShowOnSeekBar(frame);
    posLbl_->setText(Q(Text(seekBar_->value())));
}

void TCutterForm::ShowOnSeekBar(int64_t frame) {
    movingSeekBar_ = true;
    seekBar_->setValue(SeekBarPosition(frame, cut_ != nullptr ? cut_->FrameCount() : 0));
    movingSeekBar_ = false;
}

void TCutterForm::SetSeekBar(int32_t frameCount, int64_t position) {
    // An empty index would give 0..-1, and a cue may start past the file's end: the range is
    // never reversed and the position never outside it.
    movingSeekBar_ = true;
    seekBar_->setRange(0, SeekBarMaximum(frameCount));
    seekBar_->setValue(SeekBarPosition(position, frameCount));
    movingSeekBar_ = false;
}

void TCutterForm::ShowName(const std::string& name) {
    panels_[0]->setText(Q(noSound_.empty() ? name : name + " - " + noSound_));
    panels_[0]->setToolTip(PlainToolTip(panels_[0]->text()));
}

bool TCutterForm::OpenOnPlayer(TCutObject* cut) {
    noSound_.clear();
    if (!player_) {
        noSound_ = "Unable to create player";
        return false;
    }
    // The player reads no settings: it is told the queue depths each time it opens a file.
    player_->SetQueueDepths(GlobalSettings().NumBuffers, GlobalSettings().CueBuffers);
    const int result = player_->Open(cut);
    if (result != 0) {
        const std::string why = player_->Output().ErrorText(result);
        noSound_ = "nothing plays: " + (why.empty() ? "An unknown error occured" : why);
        panels_[1]->setText(QString::fromLatin1(PlayerModeName(kModeNone)));
    }
    return result == 0;
}

void TCutterForm::BringIntoView() {
    if (Host()->isVisible() || terminating_) {
        return;
    }
    // Whatever played before the window was hidden stays paused: the file about to open decides
    // by Autoplay whether it plays.
    savedMode_ = kModePausing;
    SetHostVisible(true);
}

void TCutterForm::CloseFile() {
    if (player_) {
        player_->Close();
    }
    noSound_.clear();
    cut_ = nullptr;
    // Closing reports no mode: the panel would keep the closed file's.
    panels_[1]->setText(QString::fromLatin1(PlayerModeName(kModeNone)));
    SetSeekBar(0, 0);
    ShowName("");
    UpdateMarkLabels();
    UpdateEnables();
}

void TCutterForm::OpenCutObject(TCutObject* cut) {
    cue_ = nullptr;
    if (cut == nullptr) {
        if (terminating_ || QCoreApplication::closingDown()) {
            cut_ = nullptr;
            return;
        }
        CloseFile();
        return;
    }
    BringIntoView();
    cut_ = cut;
    SetSeekBar(cut->FrameCount(), 0);
    const bool playing = OpenOnPlayer(cut);
    ShowName(cut->Name);
    UpdateMarkLabels();
    if (playing && autoPlayBox_->isChecked() && HasFrames()) {
        player_->Play();
    }
    UpdateEnables();
}

void TCutterForm::OpenCue(TCueObject* cue) {
    cue_ = cue;
    if (cue == nullptr || cue->CutObject == nullptr) {
        if (terminating_ || QCoreApplication::closingDown()) {
            cut_ = nullptr;
            return;
        }
        CloseFile();
        return;
    }
    BringIntoView();
    TCutObject* cut = cue->CutObject;
    cut_ = cut;
    cut->MarkIn = cue->MarkIn;
    cut->MarkOut = cue->MarkOut;
    SetSeekBar(cut->FrameCount(), cue->MarkIn);
    const bool playing = OpenOnPlayer(cut);
    ShowName(cue->Name);
    UpdateMarkLabels();
    if (playing && autoPlayBox_->isChecked() && HasFrames()) {
        if (int64_t(cue->MarkOut) - cue->MarkIn < GlobalSettings().CueBuffers) {
            player_->Play();
        } else {
            player_->PlayMark();
        }
    }
    if (playing) {
        player_->SetPosition(cue->MarkIn);
    }
    UpdateMarkLabels();
    UpdateEnables();
}

void TCutterForm::CutObjectChanged(TCutObject* cut) {
    if (cue_ == nullptr && cut != nullptr && cut == cut_) {
        ShowName(cut->Name);
        UpdateMarkLabels();
    }
}

void TCutterForm::CutObjectDeleted(TCutObject* cut) {
    if (cut != nullptr && cut == cut_) {
        OpenCutObject(nullptr);
    }
}

void TCutterForm::CutObjectReplaced(TCutObject* old, TCutObject*) {
    CutObjectDeleted(old);
}

void TCutterForm::CueChanged(TCueObject* cue) {
    if (cue != nullptr && cue == cue_) {
        ShowName(cue->Name);
        UpdateMarkLabels();
    }
}

void TCutterForm::CueDeleted(TCueObject* cue) {
    if (cue != nullptr && cue == cue_) {
        OpenCue(nullptr);
    }
}

void TCutterForm::UpdateEnables() {
    CutterSituation s;
    s.suspended = suspended_;
    s.playerOpen = PlayerOpen();
    s.hasCut = cut_ != nullptr;
    s.frameCount = cut_ != nullptr ? cut_->FrameCount() : 0;
    s.markIn = cut_ != nullptr ? cut_->MarkIn : 0;
    s.markOut = cut_ != nullptr ? cut_->MarkOut : 0;
    s.cueUnderReview = cue_ != nullptr;
    const CutterEnables e = EnablesFor(s);
    for (QWidget* w : {static_cast<QWidget*>(playBtn_), static_cast<QWidget*>(cueBtn_),
                       static_cast<QWidget*>(pauseBtn_), static_cast<QWidget*>(muteBox_),
                       static_cast<QWidget*>(loopBox_), static_cast<QWidget*>(jogShuttle_)}) {
        w->setEnabled(e.transport);
    }
    for (QWidget* w : {static_cast<QWidget*>(markInBtn_), static_cast<QWidget*>(posBtn_),
                       static_cast<QWidget*>(markOutBtn_), static_cast<QWidget*>(seekBar_),
                       static_cast<QWidget*>(markBeginBtn_), static_cast<QWidget*>(markEndBtn_)}) {
        w->setEnabled(e.marking);
    }
    markPlayBtn_->setEnabled(e.markPlay);
    markToCueListBtn_->setEnabled(e.list);
    currentToCueListBtn_->setEnabled(e.list);
    toFileBtn_->setEnabled(e.list);
    updateCueBtn_->setEnabled(e.updateCue);
    if (!e.transport && jogShuttle_->Position() != 0) {
        jogShuttle_->SetPosition(0);
    }
}

void TCutterForm::UpdateMarkLabels() {
    const bool showTime = GlobalSettings().ShowCutterTime;
    if (cut_ != nullptr) {
        posLbl_->setText(Q(Text(CurrentFrame())));
        markInLbl_->setText(Q(Text(cut_->MarkIn)));
        markOutLbl_->setText(Q(Text(cut_->MarkOut)));
    } else {
        posLbl_->setText(Q(NoFrameText(showTime)));
        markInLbl_->setText(Q(NoFrameText(showTime)));
        markOutLbl_->setText(Q(NoFrameText(showTime)));
    }
    UpdateStatusBar(!player_ || player_->PlayerMode() != kModePlayAll);
    emit LabelsChanged();
}

void TCutterForm::UpdateStatusBar(bool showMarkedLength) {
    if (cut_ == nullptr) {
        panels_[2]->setText(Q(NoFrameText(GlobalSettings().ShowCutterTime)));
        return;
    }
    panels_[2]->setText(
        Q(Text(ShownLength(cut_->MarkIn, cut_->MarkOut, cut_->FrameCount(), showMarkedLength))));
}

void TCutterForm::PlayerModeChange(int mode) {
    panels_[1]->setText(QString::fromLatin1(PlayerModeName(mode)));
    UpdateStatusBar(mode != kModePlayAll);
}

void TCutterForm::PlayerStateChange(int) {
    UpdateEnables();
}

void TCutterForm::PositionChange(uint32_t frame) {
    if (cut_ == nullptr) {
        return;
    }
    if (!seeking_) {
        ShowOnSeekBar(frame);
    }
    posLbl_->setText(Q(Text(frame)));
}

void TCutterForm::PlayerError(int code) {
    // The player stays inactive while the box is up; it is reactivated only if it was active,
    // so an error during a suspension never restarts playback under a running export.
    const bool wasActive = player_->Active();
    player_->SetActive(false);
    ShowWaveOutError(prompts_, player_->Output(), code);
    if (wasActive) {
        player_->SetActive(true);
    }
}

void TCutterForm::JumpInClick() {
    if (cut_ != nullptr) {
        MoveTo(cut_->MarkIn);
    }
}

void TCutterForm::JumpOutClick() {
    if (cut_ != nullptr) {
        MoveTo(cut_->MarkOut);
    }
}

void TCutterForm::JumpPosClick() {
    if (!HasFrames() || !jumpDialog_) {
        return;
    }
    const std::optional<int32_t> frame = jumpDialog_(cut_->FrameInfo, CurrentFrame());
    if (frame && cut_ != nullptr) {
        MoveTo(*frame);
    }
}

void TCutterForm::TimeTypeClick() {
    GlobalSettings().ShowCutterTime = !GlobalSettings().ShowCutterTime;
    UpdateMarkLabels();
}

void TCutterForm::SeekBarScroll(bool endOfScroll, int position) {
    if (!HasFrames()) {
        return;
    }
    seeking_ = !endOfScroll;
    if (!endOfScroll) {
        panels_[1]->setText("Seeking");
        panels_[2]->setText(Q(Text(position)));
        return;
    }
    if (PlayerOpen()) {
        PlayerModeChange(player_->PlayerMode());
    } else {
        panels_[1]->setText(QString::fromLatin1(PlayerModeName(kModeNone)));
        UpdateStatusBar(true);
    }
    MoveTo(position);
}

void TCutterForm::MarkBeginBtnClick() {
    SetMarkAtSeekBar(&SetMarkIn);
}

void TCutterForm::MarkEndBtnClick() {
    SetMarkAtSeekBar(&SetMarkOut);
}

void TCutterForm::SetMarkAtSeekBar(void (*setMark)(TCutObject&, int32_t)) {
    if (HasFrames()) {
        setMark(*cut_, seekBar_->value());
        // The queue holds frames of the old range: rebuild it from the audible frame.
        if (PlayerOpen() && player_->PlayerMode() == kModePlayMark) {
            player_->Flush();
        }
    }
    UpdateMarkLabels();
    UpdateEnables();
}

void TCutterForm::SeekTo(int64_t frame) {
    if (HasFrames()) {
        SeekBarScroll(true, SeekBarPosition(frame, cut_->FrameCount()));
    }
}

void TCutterForm::SetMarks(int32_t markIn, int32_t markOut) {
    if (!HasFrames()) {
        return;
    }
    cut_->MarkIn = std::min(markIn, markOut);
    cut_->MarkOut = std::max(markIn, markOut);
    if (PlayerOpen() && player_->PlayerMode() == kModePlayMark) {
        player_->Flush();
    }
    UpdateMarkLabels();
    UpdateEnables();
}

void TCutterForm::TransportClick(bool (TCutPlayerThread::*command)()) {
    if (PlayerOpen()) {
        (player_.get()->*command)();
    }
}

void TCutterForm::MarkToCueListBtnClick() {
    if (cut_ != nullptr && cueList_ != nullptr) {
        cueList_->AddMarkedCue(cut_);
    }
}

void TCutterForm::CurrentToCueListBtnClick() {
    if (cut_ != nullptr && cueList_ != nullptr) {
        AddPositionCue(*cueList_, *cut_, CurrentFrame());
    }
}

void TCutterForm::UpdateCueBtnClick() {
    if (cue_ != nullptr && cueList_ != nullptr) {
        cueList_->UpdateCue(cue_);
    }
}

void TCutterForm::ToFileBtnClick() {
    if (cut_ == nullptr) {
        return;
    }
    TGlobalSettings& settings = GlobalSettings();
    Prompts::FileDialog dialog;
    dialog.title = "Save selected mark as";
    dialog.fileName = ProposedExportName(cut_->Name, cut_->MarkIn, cut_->MarkOut);
    dialog.initialFolder = settings.LastSaveFolder;
    dialog.defaultExtension = "mp3";
    dialog.filter =
        "MP3 Files (*.mp3)|*.mp3|WAV Files (*.wav)|*.wav|MP3 Cues (*.m3q)|*.m3q|All Files "
        "(*.*)|*.*";
    const std::string target = prompts_.SaveFile(dialog);
    if (target.empty() || cut_ == nullptr) {
        return;
    }
    settings.LastSaveFolder = FolderOfFile(target);
    EnablePlayer(false);
    struct Resume {
        TCutterForm* form;
        ~Resume() { form->EnablePlayer(true); }
    } resume{this};
    try {
        if (ExportsCueFile(target)) {
            TCueObject cue;
            cue.CutObject = cut_;
            cue.Name = cut_->Name;
            cue.MarkIn = cut_->MarkIn;
            cue.MarkOut = cut_->MarkOut;
            SaveCueFile(&cue, target);
        } else {
            // The export's own window reports how it went.
            ExportCutObject(target, cut_, FrameSpan{cut_->MarkIn, cut_->MarkOut},
                            ExportStyleOf(settings.CleanCuts), prompts_);
        }
    } catch (const std::exception& error) {
        prompts_.Error(kProgramTitle, error.what());
    }
}

void TCutterForm::VolumeBarScroll(int position) {
    TGlobalSettings& settings = GlobalSettings();
    settings.PlayerVolume = kVolumeMax - position;
    if (player_) {
        player_->SetVolume(BothChannels(settings.PlayerVolume));
    }
}

void TCutterForm::MuteBoxClick() {
    const bool muted = muteBox_->isChecked();
    GlobalSettings().CutterMuted = muted;
    volumeBar_->setEnabled(!muted);
    if (player_) {
        player_->SetMuteMode(muted);
    }
}

void TCutterForm::LoopBoxClick() {
    GlobalSettings().CutterLooped = loopBox_->isChecked();
    if (player_) {
        player_->SetLoopMode(loopBox_->isChecked());
    }
}

void TCutterForm::AutoPlayBoxClick() {
    GlobalSettings().CutterAutoPlay = autoPlayBox_->isChecked();
}

void TCutterForm::JogShuttleChange() {
    if (jogShuttle_->Position() != 0) {
        if (!jogTimer_->isActive()) {
            jogTimer_->start();
        }
    } else {
        jogTimer_->stop();
    }
}

void TCutterForm::JogTimerTimer() {
    if (!PlayerOpen()) {
        return;
    }
    const std::optional<int64_t> next =
        JogStep(player_->Position(), jogShuttle_->Position(), GlobalSettings().NumBuffers);
    if (next) {
        player_->SetPosition(*next);
        ShowOnSeekBar(player_->Position());
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
    } buttons[] = {{playBtn_, CutterCommand::PlayPause},
                   {pauseBtn_, CutterCommand::PlayPause},
                   {markBeginBtn_, CutterCommand::SetMarkIn},
                   {markEndBtn_, CutterCommand::SetMarkOut},
                   {markToCueListBtn_, CutterCommand::SelectionToCueList}};
    for (const auto& button : buttons) {
        // The status tip keeps the bare hint; the tool tip adds the key while it works.
        const QString hint = button.control->statusTip();
        button.control->setToolTip(keyPreview_ ? hint + " (" + keys(button.command) + ")" : hint);
    }
    seekBar_->setToolTip(keyPreview_ ? keys(CutterCommand::FrameBack) + " / " +
                                           keys(CutterCommand::FrameForward) + ": one frame, " +
                                           keys(CutterCommand::SecondBack) + " / " +
                                           keys(CutterCommand::SecondForward) + ": one second"
                                     : QString());
}

void TCutterForm::InitializeCutter() {
    const TGlobalSettings& settings = GlobalSettings();
    setWindowTitle(Q(CutterCaption(settings.CutterKBControl)));
    keyPreview_ = settings.CutterKBControl;
    ShowKeysInToolTips();
    jogShuttle_->SetParams(jogShuttle_->Position(), -settings.JogMaxSpeed, settings.JogMaxSpeed);
    muteBox_->setChecked(settings.CutterMuted);
    loopBox_->setChecked(settings.CutterLooped);
    autoPlayBox_->setChecked(settings.CutterAutoPlay);
    volumeBar_->setEnabled(!settings.CutterMuted);
    volumeBar_->setValue(kVolumeMax - settings.PlayerVolume);
    if (player_) {
        player_->SetWaveDevice(settings.PlayerWaveOut);
        player_->SetLoopMode(loopBox_->isChecked());
        player_->SetMuteMode(muteBox_->isChecked());
        player_->SetVolume(BothChannels(settings.PlayerVolume));
    }
    UpdateMarkLabels();
}

void TCutterForm::EnablePlayer(bool enable) {
    if (!player_) {
        suspended_ = !enable;
        UpdateEnables();
        return;
    }
    if (enable && Host()->isVisible()) {
        suspended_ = false;
        player_->SetActive(true);
        player_->SetPlayerMode(savedMode_);
    } else {
        suspended_ = true;
        savedMode_ = player_->PlayerMode();
        player_->SetPlayerMode(kModePausing);
        player_->SetActive(false);
    }
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
    if (player_) {
        player_->SetActive(false);
    }
    SaveWindowPosition(this, visible);
    SetHostVisible(!visible);
}

void TCutterForm::closeEvent(QCloseEvent* event) {
    // The window is never closed while the program runs, only hidden.
    if (terminating_) {
        event->accept();
        return;
    }
    event->ignore();
    ToggleVisible();
}

void TCutterForm::wheelEvent(QWheelEvent* event) {
    event->accept();
    Wheel(event->angleDelta().y());
}

void TCutterForm::Wheel(int delta) {
    const int notches = wheel_.Add(delta);
    if (notches != 0 && PlayerOpen()) {
        MoveTo(int64_t(player_->Position()) + WheelFrames(notches, GlobalSettings().JogMaxSpeed));
    }
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
    TItemDragObject& holder = TItemDragObject::Instance();
    if (!TakesDropAt(event->mimeData(), event->position().toPoint())) {
        event->ignore();
        return;
    }
    const TItemDragObject::DraggedItem item = holder.Item();
    holder.Clear();
    event->acceptProposedAction();
    const QString list = item.list->objectName();
    if (list == "CutObjectsList") {
        OpenCutObject(item.cutObject);
    } else if (list == "CueList") {
        OpenCue(item.cue);
    }
}

bool TCutterForm::eventFilter(QObject* watched, QEvent* event) {
    // The seek bar would scroll by its own steps, the other way round: over it the wheel moves
    // the player as it does over the rest of the window.
    if (watched == seekBar_ && event->type() == QEvent::Wheel) {
        Wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
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
    return DispatchKey(*static_cast<QKeyEvent*>(event));
}

bool TCutterForm::DispatchKey(QKeyEvent& event) {
    // Acted-on keys are taken: with Num Lock off the keypad's are arrows and page keys, and the
    // main keyboard's are arrows and Space, which the focused control would also act on.
    return RunKeyCommand(CutterKeyCommand(event));
}

bool TCutterForm::RunKeyCommand(CutterCommand command) {
    if (command == CutterCommand::None || !player_) {
        return false;
    }
    switch (command) {
        case CutterCommand::KnobToZero:
            jogShuttle_->SetPosition(0);
            break;
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
            MarkBeginBtnClick();
            break;
        case CutterCommand::SetMarkOut:
            MarkEndBtnClick();
            break;
        case CutterCommand::JumpToMarkIn:
            JumpInClick();
            break;
        case CutterCommand::JumpDialog:
            JumpPosClick();
            break;
        case CutterCommand::JumpToMarkOut:
            JumpOutClick();
            break;
        case CutterCommand::PositionToCueList:
            if (currentToCueListBtn_->isEnabled()) {
                CurrentToCueListBtnClick();
            }
            break;
        case CutterCommand::SelectionToCueList:
            if (markToCueListBtn_->isEnabled()) {
                MarkToCueListBtnClick();
            }
            break;
        case CutterCommand::UpdateCue:
            if (updateCueBtn_->isEnabled()) {
                UpdateCueBtnClick();
            }
            break;
        case CutterCommand::PlayPause:
            if (PlayerOpen()) {
                RunKeyCommand(PlayPauseCommand(player_->PlayerMode()));
            }
            break;
        case CutterCommand::FrameBack:
        case CutterCommand::FrameForward:
        case CutterCommand::SecondBack:
        case CutterCommand::SecondForward:
            if (HasFrames()) {
                MoveTo(int64_t(CurrentFrame()) + *MainKeyStep(command, FrameRate(cut_->FrameInfo)));
            }
            break;
        case CutterCommand::StepForward:
        case CutterCommand::StepBack:
            if (PlayerOpen()) {
                const std::optional<int64_t> step =
                    KeypadStep(command, player_->PlayerMode(), GlobalSettings().NumBuffers);
                if (step) {
                    player_->SetPosition(int64_t(player_->Position()) + *step);
                }
            }
            break;
        case CutterCommand::None:
            break;
    }
    return true;
}

}  // namespace sw
