#pragma once

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QScrollBar;
class QStatusBar;
class QTimer;
class QToolButton;
class QWidget;

namespace sw {

class TKnob;

// The cutter window's fixed client size and the volume bar's range (its top is loudest).
inline constexpr int kCutterClientWidth = 406;
inline constexpr int kCutterClientHeight = 164;
inline constexpr int kCutterVolumeMax = 65535;

// The cutter window's controls in their designed places, with their object names, captions,
// hints and accessible names, made as children of the window; the window connects them. A click
// on a position label runs labelClick.
struct CutterControls {
    CutterControls(QWidget& window, const std::function<void()>& labelClick);

    // Buttons, the seek bar, the knob and the volume bar take no drops. They do not accept drops
    // themselves, so Qt hands every drag over the window to the window, which refuses it over
    // them by position.
    std::vector<QWidget*> DropRefusers() const;
    // The controls enabled together (cutter_state.h): what needs the player to hold the file,
    // and what needs only a file with frames.
    std::vector<QWidget*> TransportGroup() const;
    std::vector<QWidget*> MarkingGroup() const;

    QToolButton* markInBtn = nullptr;
    QToolButton* posBtn = nullptr;
    QToolButton* markOutBtn = nullptr;
    QLabel* markInLbl = nullptr;
    QLabel* posLbl = nullptr;
    QLabel* markOutLbl = nullptr;
    QScrollBar* seekBar = nullptr;
    QToolButton* markBeginBtn = nullptr;
    QToolButton* markPlayBtn = nullptr;
    QToolButton* markEndBtn = nullptr;
    QToolButton* markToCueListBtn = nullptr;
    QToolButton* currentToCueListBtn = nullptr;
    QToolButton* playBtn = nullptr;
    QToolButton* cueBtn = nullptr;
    QToolButton* pauseBtn = nullptr;
    QToolButton* updateCueBtn = nullptr;
    QToolButton* toFileBtn = nullptr;
    QCheckBox* muteBox = nullptr;
    QCheckBox* loopBox = nullptr;
    QCheckBox* autoPlayBox = nullptr;
    TKnob* jogShuttle = nullptr;
    QLabel* jogLbl = nullptr;
    QScrollBar* volumeBar = nullptr;
    QLabel* volumeLbl = nullptr;
    QStatusBar* statusBar = nullptr;
    QLabel* panels[3] = {nullptr, nullptr, nullptr};
    // Ticks every 250 ms while the knob is turned.
    QTimer* jogTimer = nullptr;
};

}  // namespace sw
