#include "cutter/ui/cutter_controls.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "widgets/ui/knob.h"

namespace sw {
namespace {

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

QToolButton* PictureButton(QWidget& window, const char* name, const char* hint, int icon, int x,
                           int y) {
    auto* button = new QToolButton(&window);
    button->setObjectName(name);
    button->setAccessibleName(QString::fromUtf8(hint));
    SetHint(button, hint);
    button->setIcon(window.style()->standardIcon(QStyle::StandardPixmap(icon)));
    button->setAutoRaise(true);
    button->setGeometry(x, y, 28, 26);
    return button;
}

}  // namespace

CutterControls::CutterControls(QWidget& window, const std::function<void()>& labelClick) {
    QWidget* const parent = &window;
    auto textButton = [&](const char* name, const char* caption, const char* hint, int x) {
        auto* button = new QToolButton(parent);
        button->setObjectName(name);
        button->setText(QString::fromUtf8(caption));
        button->setAccessibleName(QString::fromUtf8(caption));
        SetHint(button, hint);
        button->setAutoRaise(true);
        button->setGeometry(x, 4, 94, 20);
        return button;
    };
    markInBtn = textButton("MarkInBtn", "Mark-in", "Jump to mark-in position", 4);
    posBtn = textButton("PosBtn", "Current", "Jump to a specified position", 102);
    markOutBtn = textButton("MarkOutBtn", "Mark-out", "Jump to mark-out position", 200);

    auto positionLabel = [&](const char* name, const char* accessible, const char* hint, int x) {
        auto* label = new ClickLabel(labelClick, parent);
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
    markInLbl =
        positionLabel("MarkInLbl", "Mark-in position",
                      "Current mark-in position (Click to change from time to frame display)", 4);
    posLbl = positionLabel("PosLbl", "Current position",
                           "Current position (Click to change from time to frame display)", 102);
    markOutLbl = positionLabel(
        "MarkOutLbl", "Mark-out position",
        "Current mark-out position (Click to change from time to frame display)", 200);

    seekBar = new QScrollBar(Qt::Horizontal, parent);
    seekBar->setObjectName("SeekBar");
    seekBar->setAccessibleName("Seek bar");
    seekBar->setGeometry(4, 50, 290, 17);
    seekBar->setRange(0, 0);
    seekBar->setSingleStep(1);
    seekBar->setPageStep(10);

    markBeginBtn = PictureButton(window, "MarkBeginBtn", "Set mark-in position",
                                 QStyle::SP_MediaSkipBackward, 4, 72);
    markPlayBtn = PictureButton(window, "MarkPlayBtn", "Play marked selection",
                                QStyle::SP_MediaSeekForward, 32, 72);
    markEndBtn = PictureButton(window, "MarkEndBtn", "Set mark-out position",
                               QStyle::SP_MediaSkipForward, 60, 72);
    markToCueListBtn =
        PictureButton(window, "MarkToCueListBtn", "Put current selection on cue-list",
                      QStyle::SP_FileDialogListView, 96, 72);
    currentToCueListBtn =
        PictureButton(window, "CurrentToCueListBtn", "Put current position on cue-list",
                      QStyle::SP_FileDialogDetailedView, 124, 72);
    playBtn = PictureButton(window, "PlayBtn", "Play complete file", QStyle::SP_MediaPlay, 4, 100);
    cueBtn = PictureButton(window, "CueBtn", "Cue at current position", QStyle::SP_BrowserReload,
                           32, 100);
    pauseBtn = PictureButton(window, "PauseBtn", "Pause playback", QStyle::SP_MediaPause, 60, 100);
    updateCueBtn = PictureButton(window, "UpdateCueBtn", "Update currently playing cue",
                                 QStyle::SP_DialogApplyButton, 96, 100);
    toFileBtn = PictureButton(window, "ToFileBtn", "Export currently marked selection to file",
                              QStyle::SP_DialogSaveButton, 124, 100);

    auto separator = [&](int x, int y) {
        auto* line = new QFrame(parent);
        line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        line->setGeometry(x, y + 2, 4, 22);
    };
    separator(90, 72);
    separator(90, 100);
    separator(154, 72);
    separator(154, 100);

    auto checkBox = [&](const char* name, const char* caption, const char* hint, int y) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
        box->setObjectName(name);
        box->setAccessibleName(QString::fromUtf8(caption));
        SetHint(box, hint);
        box->setGeometry(162, y, 90, 18);
        return box;
    };
    muteBox = checkBox("MuteBox", "Mute", "Mute / unmute audio output", 74);
    loopBox = checkBox("LoopBox", "Loop", "Loop file or marked selection", 92);
    autoPlayBox = checkBox("AutoPlayBox", "Autoplay",
                           "Automatically start playing when a file or cue is selected", 110);

    jogLbl = new QLabel(parent);
    jogLbl->setObjectName("JogLbl");
    jogLbl->setAccessibleDescription("Jog speed");
    jogLbl->setAlignment(Qt::AlignCenter);
    QFont bold = jogLbl->font();
    bold.setBold(true);
    jogLbl->setFont(bold);
    QPalette blue = jogLbl->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    jogLbl->setPalette(blue);
    jogLbl->setGeometry(300, 6, 86, 18);

    jogShuttle = new TKnob(parent);
    jogShuttle->setObjectName("JogShuttle");
    jogShuttle->setAccessibleName("Seek quickly through file");
    SetHint(jogShuttle, "Seek quickly through file");
    jogShuttle->setGeometry(306, 32, 74, 74);
    jogShuttle->SetLineColor(Qt::blue);
    jogShuttle->SetPageSize(16);
    jogShuttle->SetParams(0, -5, 5);
    jogShuttle->SetPositionLabel(jogLbl);
    jogShuttle->SetSpringLoaded(true);

    jogTimer = new QTimer(parent);
    jogTimer->setObjectName("JogTimer");
    jogTimer->setInterval(250);

    volumeBar = new QScrollBar(Qt::Vertical, parent);
    volumeBar->setObjectName("VolumeBar");
    volumeBar->setAccessibleName("Volume");
    volumeBar->setToolTip("Volume");
    volumeBar->setStatusTip("Playback volume");
    // The bar is a bare strip at the window's edge: its label sits beside its foot, under the
    // knob.
    volumeLbl = new QLabel("Volume", parent);
    volumeLbl->setObjectName("VolumeLbl");
    volumeLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    volumeLbl->setBuddy(volumeBar);
    volumeLbl->setGeometry(300, kCutterClientHeight - kStatusHeight - 22, 86, 18);
    volumeBar->setRange(0, kCutterVolumeMax);
    volumeBar->setSingleStep(kCutterVolumeMax / 64);
    volumeBar->setPageStep(kCutterVolumeMax / 8);
    volumeBar->setGeometry(kCutterClientWidth - 17, 2, 16, kCutterClientHeight - kStatusHeight - 4);

    statusBar = new QStatusBar(parent);
    statusBar->setObjectName("StatusBar");
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(0, kCutterClientHeight - kStatusHeight, kCutterClientWidth,
                           kStatusHeight);
    const char* panelNames[3] = {"Status file", "Status mode", "Status length"};
    for (int i = 0; i < 3; ++i) {
        panels[i] = new QLabel(statusBar);
        panels[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels[i]->setAccessibleDescription(QString::fromLatin1(panelNames[i]));
        panels[i]->setFixedWidth(PanelWidth(i, panels[i]->fontMetrics()));
        panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The file panel shows a file or cue name: data, never markup.
        panels[i]->setTextFormat(Qt::PlainText);
        if (i > 0) {
            panels[i]->setAlignment(Qt::AlignCenter);
        }
        statusBar->addWidget(panels[i]);
    }
}

std::vector<QWidget*> CutterControls::DropRefusers() const {
    return {markInBtn,           posBtn,      markOutBtn, seekBar,
            markBeginBtn,        markPlayBtn, markEndBtn, markToCueListBtn,
            currentToCueListBtn, playBtn,     cueBtn,     pauseBtn,
            updateCueBtn,        toFileBtn,   jogShuttle, volumeBar};
}

std::vector<QWidget*> CutterControls::TransportGroup() const {
    return {playBtn, cueBtn, pauseBtn, muteBox, loopBox, jogShuttle};
}

std::vector<QWidget*> CutterControls::MarkingGroup() const {
    return {markInBtn, posBtn, markOutBtn, seekBar, markBeginBtn, markEndBtn};
}

}  // namespace sw
