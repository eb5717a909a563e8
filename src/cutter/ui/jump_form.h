#pragma once

#include <QDialog>
#include <cstdint>

#include "stream/frame_header.h"
#include "stream/prompts.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sw {

// The small modal dialog in which the user types the position the cutter jumps to, as a time or
// as a frame number. The time is read in the form the windows show: the frame's true start time
// (hh:mm:ss.cc, in hundredths) or the classic time code (hh:mm:ss.ff, ff counting frames). The two
// fields move together through the time-code conversions with the frame description of the file
// being cut, so the frame always equals the number in the frame field when the dialog ends.
class TJumpForm : public QDialog {
    Q_OBJECT

  public:
    enum Mode : uint8_t { TimeMode = 0, FrameMode = 1 };

    explicit TJumpForm(Prompts& prompts, QWidget* parent = nullptr);
    ~TJumpForm() override;

    // The caller gives the file's frame description before SetFrame.
    void SetFrameInfo(const TFrameInfo& info) { frameInfo_ = info; }
    const TFrameInfo& FrameInfo() const { return frameInfo_; }
    // The time field in real time (hundredths) rather than as the classic time code; given
    // before SetFrame, like the frame description.
    void SetRealTime(bool realTime);
    bool RealTime() const { return realTime_; }

    // Writes N into the frame field, which runs the field's change handling. Positions are never
    // negative; a negative N is written as 0.
    void SetFrame(int32_t frame);
    int32_t Frame() const { return frame_; }

    // Enables exactly the field of the mode and gives it the focus.
    void SetMode(Mode mode);
    Mode CurrentMode() const { return mode_; }

    // Handlers, public so that tests and the cutter's keys reach the same paths as the controls.
    void JumpPosGroupClick(int index);
    void FrameEditChange();
    void TimeEditChange();
    // Ends with OK unless the time field of time mode does not convert.
    void OkBtnClick();

    QGroupBox* JumpPosGroup;
    QRadioButton* TimeRadio;
    QRadioButton* FrameRadio;
    QButtonGroup* JumpPosButtons;
    QLineEdit* TimeEdit;
    QLineEdit* FrameEdit;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

  protected:
    // Every opening starts in frame mode with the focus, and the number selected, in the frame
    // field, whatever mode was used before.
    void showEvent(QShowEvent* event) override;
    // The dialog sees keys before the focused control: Enter is OK and Escape Cancel in any
    // field, and the frame field drops every typed character but digits and backspace.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The time field's text with its blanks read as "0".
    std::string TimeText() const;
    // Converts the time field into the frame field; false (after the error was shown) when it
    // does not convert.
    bool ConvertTimeField();

    Prompts& prompts_;
    TFrameInfo frameInfo_;
    Mode mode_ = FrameMode;
    int32_t frame_ = 0;
    bool realTime_ = false;
};

// Asks for a position with the dialog: opens it on frame, with the file's frame description and
// the time form the windows show, and on OK stores the chosen frame there and returns true. The
// player clamps the frame to the file.
bool ExecuteJump(QWidget* parent, Prompts& prompts, const TFrameInfo& info, bool realTime,
                 int32_t& frame);

}  // namespace sw
