#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "cutter/ui/jump_form.h"
#include "scripted_prompts.h"

namespace sw {
namespace {

using test::ScriptedPrompts;

// 44.1 kHz, 128 kbit/s, padded: 38 frames per second, as the dialog's own default.
TFrameInfo Mp3Info() {
    TFrameInfo info{};
    info.Version = 1;
    info.Layer = 3;
    info.Bitrate = 128;
    info.SampleRate = 44100;
    info.Padding = 1;
    info.FrameLength = 418;
    return info;
}

// 48 kHz, 128 kbit/s: 42 frames per second.
TFrameInfo Mp3Info48k() {
    TFrameInfo info = Mp3Info();
    info.SampleRate = 48000;
    info.Padding = 0;
    info.FrameLength = 384;
    return info;
}

class JumpFormTest : public ::testing::Test {
  protected:
    void Show(TJumpForm& form) {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // Puts the dialog into time mode the way a user does, by clicking "Time".
    void ClickTime(TJumpForm& form) {
        QTest::mouseClick(form.TimeRadio, Qt::LeftButton);
        ASSERT_EQ(form.CurrentMode(), TJumpForm::TimeMode);
    }

    // Types over the whole time field from its first position; the separators are skipped.
    void TypeTime(TJumpForm& form, const QString& digits) {
        QTest::keyClick(form.TimeEdit, Qt::Key_Home);
        QTest::keyClicks(form.TimeEdit, digits);
    }

    // Runs ExecuteJump and, once its dialog is up, drives it with the given steps. Whatever the
    // steps do, a dialog still open afterwards is cancelled, so a failing step cannot hang.
    bool RunJump(int32_t& frame, const TFrameInfo& info,
                 const std::function<void(TJumpForm&)>& steps) {
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TJumpForm*>(QApplication::activeModalWidget());
            EXPECT_NE(form, nullptr) << "the jump dialog is not the modal window";
            if (form == nullptr) {
                return;
            }
            opened++;
            steps(*form);
            if (form->isVisible()) {
                stillOpen = true;
                form->reject();
            }
        });
        return ExecuteJump(nullptr, prompts, info, false, frame);
    }

    ScriptedPrompts prompts;
    int opened = 0;
    bool stillOpen = false;
};

TEST_F(JumpFormTest, OpensInFrameModeWithItsTextsAndTheFocusOnTheFrameField) {
    TJumpForm form(prompts);
    EXPECT_EQ(form.windowTitle(), "Jump to position");
    EXPECT_EQ(form.JumpPosGroup->title(), "Enter position to jump to");
    EXPECT_EQ(form.TimeRadio->text(), "Time");
    EXPECT_EQ(form.FrameRadio->text(), "Frame");
    EXPECT_EQ(form.OkBtn->text(), "Ok");
    EXPECT_EQ(form.CancelBtn->text(), "Cancel");
    EXPECT_EQ(form.FrameEdit->text(), "0");
    EXPECT_EQ(form.TimeEdit->displayText(), "00:00:00.00");
    EXPECT_EQ(form.FrameInfo().Bitrate, 128);
    EXPECT_EQ(form.FrameInfo().FrameLength, 418);
    EXPECT_GE(form.width(), 185);
    EXPECT_GE(form.height(), 153);
    EXPECT_EQ(form.windowFlags() & Qt::WindowType_Mask, Qt::Tool);

    Show(form);
    EXPECT_EQ(form.CurrentMode(), TJumpForm::FrameMode);
    EXPECT_TRUE(form.FrameRadio->isChecked());
    EXPECT_TRUE(form.FrameEdit->isEnabled());
    EXPECT_FALSE(form.TimeEdit->isEnabled());
    EXPECT_TRUE(form.FrameEdit->hasFocus());
}

// Screen readers announce each control by its accessible name; an unnamed field is a blank.
TEST_F(JumpFormTest, EveryControlHasAnAccessibleName) {
    TJumpForm form(prompts);
    for (QWidget* control :
         QList<QWidget*>{form.JumpPosGroup, form.TimeRadio, form.FrameRadio, form.TimeEdit,
                         form.FrameEdit, form.OkBtn, form.CancelBtn}) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
}

TEST_F(JumpFormTest, ModeSwitchEnablesExactlyTheFieldOfTheModeAndFocusesIt) {
    TJumpForm form(prompts);
    Show(form);
    ClickTime(form);
    EXPECT_TRUE(form.TimeEdit->isEnabled());
    EXPECT_FALSE(form.FrameEdit->isEnabled());
    EXPECT_TRUE(form.TimeEdit->hasFocus());
    QTest::mouseClick(form.FrameRadio, Qt::LeftButton);
    EXPECT_EQ(form.CurrentMode(), TJumpForm::FrameMode);
    EXPECT_FALSE(form.TimeEdit->isEnabled());
    EXPECT_TRUE(form.FrameEdit->hasFocus());
}

// The two fields must move together through the conversion in both directions, with the file's
// own frame rate, or the dialog jumps somewhere other than the time the user typed.
TEST_F(JumpFormTest, FieldsMoveTogetherThroughTheTimeCodeConversions) {
    TJumpForm form(prompts);
    form.SetFrameInfo(Mp3Info());
    Show(form);
    QTest::keyClick(form.FrameEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.FrameEdit, "38");
    EXPECT_EQ(form.TimeEdit->displayText(), "00:00:01.00");
    EXPECT_EQ(form.Frame(), 38);

    ClickTime(form);
    TypeTime(form, "00010005");
    EXPECT_EQ(form.TimeEdit->displayText(), "00:01:00.05");
    EXPECT_EQ(form.FrameEdit->text(), "2285");
    EXPECT_EQ(form.Frame(), 2285);
    // A frame field above the rate is used as it stands.
    TypeTime(form, "00000050");
    EXPECT_EQ(form.Frame(), 50);

    TJumpForm other(prompts);
    other.SetFrameInfo(Mp3Info48k());
    other.SetFrame(42);
    EXPECT_EQ(other.TimeEdit->displayText(), "00:00:01.00");
    other.SetFrame(-5);
    EXPECT_EQ(other.FrameEdit->text(), "0");
    EXPECT_EQ(other.Frame(), 0);
}

// With real time chosen the field shows and reads hundredths of the true time, or a typed time
// lands on another frame than the cutter then shows.
TEST_F(JumpFormTest, RealTimeIsShownAndReadInHundredths) {
    TJumpForm form(prompts);
    form.SetFrameInfo(Mp3Info());
    form.SetRealTime(true);
    form.SetFrame(2285);
    EXPECT_EQ(form.TimeEdit->displayText(), "00:00:59.68");
    Show(form);
    ClickTime(form);
    TypeTime(form, "00000100");
    EXPECT_EQ(form.Frame(), 39);
    EXPECT_EQ(form.FrameEdit->text(), "39");
}

// In time mode the time field drives the frame field, never the other way round: a loop between
// the two would rewrite what the user is typing.
TEST_F(JumpFormTest, OnlyTheFieldOfTheModeDrivesTheOther) {
    TJumpForm form(prompts);
    form.SetFrame(76);
    EXPECT_EQ(form.TimeEdit->displayText(), "00:00:02.00");
    form.SetMode(TJumpForm::TimeMode);
    form.SetFrame(38);
    EXPECT_EQ(form.TimeEdit->displayText(), "00:00:02.00");
    EXPECT_EQ(form.Frame(), 38);
    form.SetMode(TJumpForm::FrameMode);
    form.TimeEdit->setText("00:00:05.00");
    EXPECT_EQ(form.Frame(), 38);
}

TEST_F(JumpFormTest, ClearedFrameFieldIsFrameZeroAndLeavesTheTimeAlone) {
    TJumpForm form(prompts);
    Show(form);
    form.SetFrame(2317);
    EXPECT_EQ(form.TimeEdit->displayText(), "00:01:00.37");
    QTest::keyClick(form.FrameEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.FrameEdit, Qt::Key_Backspace);
    EXPECT_EQ(form.FrameEdit->text(), "");
    EXPECT_EQ(form.Frame(), 0);
    EXPECT_EQ(form.TimeEdit->displayText(), "00:01:00.37");
}

// Unfilled positions of the time field read as "0": a blank read any other way would refuse the
// text or shift the fields.
TEST_F(JumpFormTest, BlankTimePositionsReadAsZero) {
    TJumpForm form(prompts);
    Show(form);
    form.SetFrame(2285);
    ClickTime(form);
    QTest::keyClick(form.TimeEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.TimeEdit, Qt::Key_Delete);
    EXPECT_EQ(form.TimeEdit->displayText(), "00:00:00.00");
    EXPECT_EQ(form.Frame(), 0);
    QTest::keyClick(form.TimeEdit, Qt::Key_Home);
    QTest::keyClicks(form.TimeEdit, "1");
    EXPECT_EQ(form.TimeEdit->displayText(), "10:00:00.00");
    EXPECT_EQ(form.Frame(), 10 * 3600 * 38);
    QTest::keyClicks(form.TimeEdit, "a-");  // the mask takes digits only
    EXPECT_EQ(form.TimeEdit->displayText(), "10:00:00.00");
}

TEST_F(JumpFormTest, FrameFieldTakesDigitsAndBackspaceOnly) {
    TJumpForm form(prompts);
    Show(form);
    QTest::keyClick(form.FrameEdit, Qt::Key_Backspace);
    QTest::keyClicks(form.FrameEdit, "1a2-b 3.+x");
    EXPECT_EQ(form.FrameEdit->text(), "123");
    QTest::keyClick(form.FrameEdit, Qt::Key_Backspace);
    EXPECT_EQ(form.FrameEdit->text(), "12");
    EXPECT_EQ(form.Frame(), 12);
    // Editing keys still work: they carry no character.
    QTest::keyClick(form.FrameEdit, Qt::Key_Home);
    QTest::keyClicks(form.FrameEdit, "9");
    EXPECT_EQ(form.FrameEdit->text(), "912");
}

// A number past 2^31 - 1 read into a 32-bit frame would wrap to a negative or unrelated frame;
// the field refuses the digit (or the paste) that would take it there.
TEST_F(JumpFormTest, FrameFieldRefusesNumbersBeyondThirtyTwoBits) {
    TJumpForm form(prompts);
    Show(form);
    QTest::keyClick(form.FrameEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.FrameEdit, "2147483647");
    EXPECT_EQ(form.Frame(), 2147483647);
    QTest::keyClicks(form.FrameEdit, "0");
    EXPECT_EQ(form.FrameEdit->text(), "2147483647");
    EXPECT_EQ(form.Frame(), 2147483647);

    QTest::keyClick(form.FrameEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.FrameEdit, "2147483648");
    EXPECT_EQ(form.FrameEdit->text(), "214748364");

    for (const char* pasted : {"99999999999", "12a", "-4"}) {
        form.FrameEdit->selectAll();
        QApplication::clipboard()->setText(pasted);
        form.FrameEdit->paste();
        EXPECT_EQ(form.FrameEdit->text(), "214748364") << pasted;
    }
    form.FrameEdit->selectAll();
    QApplication::clipboard()->setText("4711");
    form.FrameEdit->paste();
    EXPECT_EQ(form.Frame(), 4711);
}

// Frames beyond what two hour digits hold must not show as a cut-off, much earlier time.
TEST_F(JumpFormTest, TimeFieldShowsTheLastTimeItHoldsForFramesPastOneHundredHours) {
    TJumpForm form(prompts);
    form.SetFrame(100 * 3600 * 38 + 5);
    EXPECT_EQ(form.TimeEdit->displayText(), "99:59:59.37");
    EXPECT_EQ(form.Frame(), 100 * 3600 * 38 + 5);
}

// An exception escaping a Qt slot ends the program; a text the mask should have kept out (set
// by other means than the keyboard) must instead show the conversion error and keep the dialog
// open, with the frame field as it was.
TEST_F(JumpFormTest, TimeFieldThatDoesNotConvertShowsTheErrorAndKeepsTheDialogOpen) {
    TJumpForm form(prompts);
    Show(form);
    form.SetFrame(12);
    form.TimeEdit->setInputMask(QString());
    form.TimeEdit->setText("0a:00:00.00");
    ClickTime(form);
    prompts.ExpectError();
    QTest::keyClick(form.TimeEdit, Qt::Key_Return);
    ASSERT_EQ(prompts.History().size(), 1u);
    EXPECT_EQ(prompts.History()[0].text, "'0a' is not a valid integer value");
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.FrameEdit->text(), "12");

    prompts.ExpectError();
    form.TimeEdit->setText("00:0b:00.00");
    EXPECT_EQ(prompts.History().size(), 2u);
    EXPECT_EQ(form.Frame(), 12);

    form.TimeEdit->setText("00:00:03.00");
    QTest::keyClick(form.TimeEdit, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Frame(), 114);
}

// Enter means OK in every field, the focused button included, with the frame shown; Escape means
// Cancel and leaves the caller's frame alone.
TEST_F(JumpFormTest, EnterEndsWithOkFromAnyControlAndEscapeCancels) {
    int32_t frame = 500;
    EXPECT_TRUE(RunJump(frame, Mp3Info(), [](TJumpForm& form) {
        EXPECT_EQ(form.FrameEdit->text(), "500");
        QTest::keyClicks(form.FrameEdit, "77");  // the number is selected: typing replaces it
        QTest::keyClick(form.FrameEdit, Qt::Key_Enter, Qt::KeypadModifier);
    }));
    EXPECT_EQ(frame, 77);

    EXPECT_TRUE(RunJump(frame, Mp3Info(), [](TJumpForm& form) {
        form.SetFrame(90);
        form.CancelBtn->setFocus();
        QTest::keyClick(form.CancelBtn, Qt::Key_Return);
    }));
    EXPECT_EQ(frame, 90);

    EXPECT_TRUE(RunJump(frame, Mp3Info(), [this](TJumpForm& form) {
        ClickTime(form);
        TypeTime(form, "00000100");
        QTest::keyClick(form.TimeRadio, Qt::Key_Return);
    }));
    EXPECT_EQ(frame, 38);

    EXPECT_FALSE(RunJump(frame, Mp3Info(), [](TJumpForm& form) {
        QTest::keyClicks(form.FrameEdit, "12");
        QTest::keyClick(form.FrameEdit, Qt::Key_Escape);
    }));
    EXPECT_EQ(frame, 38);
    EXPECT_EQ(opened, 4);
    EXPECT_FALSE(stillOpen);
}

// Each opening starts over in frame mode with the focus in the frame field, whatever mode the
// last one ended in, so keypad 8 followed by digits always types a frame number.
TEST_F(JumpFormTest, EveryOpeningStartsInFrameModeWithTheFocusOnTheFrameField) {
    int32_t frame = 10;
    RunJump(frame, Mp3Info(), [this](TJumpForm& form) {
        ClickTime(form);
        form.reject();
    });
    RunJump(frame, Mp3Info(), [](TJumpForm& form) {
        EXPECT_EQ(form.CurrentMode(), TJumpForm::FrameMode);
        EXPECT_EQ(form.focusWidget(), form.FrameEdit);
        EXPECT_EQ(form.FrameEdit->selectedText(), "10");
        form.reject();
    });

    // The same window shown again also starts over.
    TJumpForm form(prompts);
    Show(form);
    ClickTime(form);
    form.hide();
    form.show();
    EXPECT_EQ(form.CurrentMode(), TJumpForm::FrameMode);
    EXPECT_EQ(form.focusWidget(), form.FrameEdit);
    EXPECT_EQ(opened, 2);
}

}  // namespace
}  // namespace sw
