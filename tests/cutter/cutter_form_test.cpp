// The cutter window on a real offscreen event loop, its player on the deterministic device.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "app/settings/global_settings.h"
#include "cutter/cutter_display.h"
#include "cutter_harness.h"
#include "player/qt/null_wave_out.h"
#include "widgets/ui/item_drag_object.h"
#include "widgets/ui/knob.h"

namespace sw::test {
namespace {

// Opens the harness's file paused at frame 0 with the given marks.
void OpenWithMarks(CutterHarness& h, int32_t markIn, int32_t markOut) {
    h.Cut()->MarkIn = markIn;
    h.Cut()->MarkOut = markOut;
    h.Form().OpenCutObject(h.Cut());
    ProcessEvents();
}

void MoveTo(CutterHarness& h, int64_t frame) {
    h.Player().SetPosition(frame);
    ProcessEvents();
}

QWheelEvent Wheel(int delta) {
    return QWheelEvent(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
}

TEST(CutterMarks, SettingAMarkPastTheOtherGivesAOneFrameSelection) {
    // A reversed selection would reach the cue list and the exports.
    CutterHarness h;
    OpenWithMarks(h, 0, 200);
    MoveTo(h, 500);
    h.Click("MarkBeginBtn");
    EXPECT_EQ(h.Cut()->MarkIn, 500);
    EXPECT_EQ(h.Cut()->MarkOut, 500);
    EXPECT_EQ(h.LabelText("MarkInLbl"), "500");
    EXPECT_EQ(h.LabelText("MarkOutLbl"), "500");

    h.Cut()->MarkIn = 300;
    h.Cut()->MarkOut = 400;
    MoveTo(h, 100);
    h.Click("MarkEndBtn");
    EXPECT_EQ(h.Cut()->MarkIn, 100);
    EXPECT_EQ(h.Cut()->MarkOut, 100);
    EXPECT_EQ(h.Form().StatusText(2), "1");
}

TEST(CutterKeypad, MinusStepsBackByTheModeAndOrdinaryKeysDoNothing) {
    // A step back smaller than the queue lands after the audible frame; main-keyboard digits
    // acting as the keypad would fire commands while the user types.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    h.Click("PlayBtn");
    MoveTo(h, 100);
    ASSERT_EQ(h.Player().Position(), 100u);
    h.Key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(h.Player().Position(), 74u);
    h.Key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(h.Player().Position(), 84u);
    h.Key(Qt::Key_Minus);  // the main keyboard's minus
    EXPECT_EQ(h.Player().Position(), 84u);

    h.Click("PauseBtn");
    const uint32_t paused = h.Player().Position();
    h.Key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(h.Player().Position(), paused - 1);

    h.Cut()->MarkIn = 0;
    h.Cut()->MarkOut = 1;
    h.Key(Qt::Key_5, Qt::KeypadModifier);
    ASSERT_EQ(h.Player().PlayerMode(), kModeEnded);
    const uint32_t ended = h.Player().Position();
    h.Key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(h.Player().Position(), ended);
}

TEST(CutterKeypad, NumLockOffNavigationKeysActAsTheKeypadDigits) {
    // With Num Lock off the keypad sends arrows and page keys; they must still be the table.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    MoveTo(h, 300);
    h.Key(Qt::Key_Left, Qt::KeypadModifier);  // keypad 4: set mark-in
    EXPECT_EQ(h.Cut()->MarkIn, 300);
    MoveTo(h, 350);
    h.Key(Qt::Key_Right, Qt::KeypadModifier);  // keypad 6: set mark-out
    EXPECT_EQ(h.Cut()->MarkOut, 350);
    h.Key(Qt::Key_Home, Qt::KeypadModifier);  // keypad 7: jump to mark-in
    EXPECT_EQ(h.Player().Position(), 300u);
    h.Key(Qt::Key_PageUp, Qt::KeypadModifier);  // keypad 9: jump to mark-out
    EXPECT_EQ(h.Player().Position(), 350u);
    h.Key(Qt::Key_End, Qt::KeypadModifier);  // keypad 1: play
    EXPECT_EQ(h.Player().PlayerMode(), kModePlayAll);
    h.Key(Qt::Key_PageDown, Qt::KeypadModifier);  // keypad 3: pause
    EXPECT_EQ(h.Player().PlayerMode(), kModePausing);
    h.Key(Qt::Key_Delete, Qt::KeypadModifier);  // keypad point: stop
    EXPECT_EQ(h.Player().PlayerMode(), kModeStopped);
    // The same digit off the keypad is not the table's, and the main keyboard's arrow steps one
    // frame instead of setting a mark.
    MoveTo(h, 600);
    h.Key(Qt::Key_4);
    h.Key(Qt::Key_Left);
    EXPECT_EQ(h.Cut()->MarkIn, 300);
    EXPECT_EQ(h.Player().Position(), 599u);
}

TEST(CutterKeys, TheMainKeyboardPlaysMarksStepsAndListsWithoutAKeypad) {
    // A laptop without a keypad could not cut at all; a key taken with its modifier (Ctrl+I,
    // the import) or with keyboard control off would act behind the user's back.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    MoveTo(h, 500);
    h.Key(Qt::Key_Space);
    EXPECT_EQ(h.Player().PlayerMode(), kModePlayAll);
    h.Key(Qt::Key_Space);
    EXPECT_EQ(h.Player().PlayerMode(), kModePausing);
    MoveTo(h, 500);
    h.Key(Qt::Key_Right);
    h.Key(Qt::Key_Right, Qt::ShiftModifier);  // 38 frames a second at 44.1 kHz
    EXPECT_EQ(h.Player().Position(), 539u);
    EXPECT_EQ(h.LabelText("PosLbl"), "539");
    h.Key(Qt::Key_I);
    EXPECT_EQ(h.Cut()->MarkIn, 539);
    h.Key(Qt::Key_Left, Qt::ShiftModifier);
    h.Key(Qt::Key_Left);
    EXPECT_EQ(h.Player().Position(), 500u);
    h.Key(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(h.Cut()->MarkIn, 539);
    MoveTo(h, 600);
    h.Key(Qt::Key_O);
    EXPECT_EQ(h.Cut()->MarkOut, 600);
    h.Key(Qt::Key_Return);
    ASSERT_EQ(h.Cues().Count(), 1);
    EXPECT_EQ(h.Cues().At(0)->MarkIn, 539);
    EXPECT_EQ(h.Cues().At(0)->MarkOut, 600);
    EXPECT_TRUE(h.Find<QWidget>("PlayBtn")->toolTip().endsWith("(Space)"));
    EXPECT_TRUE(h.Find<QWidget>("MarkBeginBtn")->toolTip().endsWith("(I)"));

    GlobalSettings().CutterKBControl = false;
    h.Form().InitializeCutter();
    h.Key(Qt::Key_Space);
    h.Key(Qt::Key_I);
    EXPECT_EQ(h.Player().PlayerMode(), kModePausing);
    EXPECT_EQ(h.Cut()->MarkIn, 539);
    EXPECT_EQ(h.Find<QWidget>("PlayBtn")->toolTip(), "Play complete file");
}

TEST(CutterKeypad, KeyboardControlOffLeavesTheTableUnused) {
    // The keypad acting with keyboard control off would surprise a user typing elsewhere.
    CutterHarness h;
    GlobalSettings().CutterKBControl = false;
    h.Form().InitializeCutter();
    EXPECT_EQ(h.Form().windowTitle(), "Cutter (keyboard disabled)");
    OpenWithMarks(h, 0, 999);
    h.Key(Qt::Key_1, Qt::KeypadModifier);
    EXPECT_EQ(h.Player().PlayerMode(), kModePausing);
}

TEST(CutterJog, KnobAtMinusThreeMovesBack35FramesEveryTick) {
    // The back step must clear the queue, else the knob turned back stays in place.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    h.Click("PlayBtn");
    MoveTo(h, 500);
    TKnob* knob = h.Find<TKnob>("JogShuttle");
    auto* timer = h.Form().findChild<QTimer*>("JogTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(knob->Min(), -100);
    EXPECT_EQ(knob->Max(), 100);
    EXPECT_FALSE(timer->isActive());
    knob->SetPosition(-3);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 250);
    h.Form().JogTimerTimer();
    ProcessEvents();
    EXPECT_EQ(h.Player().Position(), 465u);
    h.Form().JogTimerTimer();
    ProcessEvents();
    EXPECT_EQ(h.Player().Position(), 430u);
    EXPECT_EQ(h.Find<QScrollBar>("SeekBar")->value(), 430);
    h.Key(Qt::Key_0, Qt::KeypadModifier);
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_FALSE(timer->isActive());
}

TEST(CutterWheel, HalfNotchesAddUpAndWholeNotchesMoveJogMaxSpeedFrames) {
    // Truncating each delta would leave touchpads and fine wheels without effect.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    MoveTo(h, 500);
    QWheelEvent half = Wheel(60);
    QApplication::sendEvent(&h.Form(), &half);
    ProcessEvents();
    EXPECT_EQ(h.Player().Position(), 500u);
    QWheelEvent otherHalf = Wheel(60);
    QApplication::sendEvent(&h.Form(), &otherHalf);
    ProcessEvents();
    EXPECT_EQ(h.Player().Position(), 600u);
    QWheelEvent back = Wheel(-240);
    QApplication::sendEvent(&h.Form(), &back);
    ProcessEvents();
    EXPECT_EQ(h.Player().Position(), 400u);
}

TEST(CutterSeekBar, StepsMoveThePlayerAtOnceAndDragsOnlyOnRelease) {
    // Qt sends no end of scroll for steps: the player would never follow a click on the bar.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    auto* bar = h.Find<QScrollBar>("SeekBar");
    EXPECT_EQ(bar->maximum(), 999);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    ProcessEvents();
    EXPECT_EQ(h.Player().Position(), 10u);
    EXPECT_FALSE(h.Form().Seeking());
    EXPECT_EQ(h.Form().StatusText(1), "Pausing");

    bar->setSliderDown(true);
    bar->setSliderPosition(300);
    ProcessEvents();
    EXPECT_TRUE(h.Form().Seeking());
    EXPECT_EQ(h.Form().StatusText(1), "Seeking");
    EXPECT_EQ(h.Form().StatusText(2), "300");
    EXPECT_EQ(h.Player().Position(), 10u);
    MoveTo(h, 20);  // the player's progress leaves a dragged bar alone
    EXPECT_EQ(bar->sliderPosition(), 300);
    bar->setSliderDown(false);
    ProcessEvents();
    EXPECT_FALSE(h.Form().Seeking());
    EXPECT_EQ(h.Player().Position(), 300u);
    EXPECT_EQ(h.Form().StatusText(1), "Pausing");
}

TEST(CutterSeekBar, EveryWayTheBarMovesEndsWithThePlayerAndTheMarksThere) {
    // Breaks when a way of moving the bar leaves the player behind: the wheel over the bar and
    // "Scroll here" moved only the thumb, so a mark set then took a frame nobody heard, and the
    // trough held down left the bar away from the player.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    MoveTo(h, 500);
    auto* bar = h.Find<QScrollBar>("SeekBar");
    QWheelEvent forward = Wheel(120);
    QApplication::sendEvent(bar, &forward);
    ProcessEvents();
    EXPECT_EQ(h.Player().Position(), 600u) << "JogMaxSpeed frames a notch, away is forward";
    EXPECT_EQ(bar->value(), 600);
    EXPECT_EQ(h.LabelText("PosLbl"), "600");
    h.Click("MarkBeginBtn");
    EXPECT_EQ(h.Cut()->MarkIn, 600);

    bar->setValue(250);  // what the bar's "Scroll here" does
    ProcessEvents();
    EXPECT_EQ(h.Player().Position(), 250u);
    EXPECT_EQ(h.LabelText("PosLbl"), "250");
    EXPECT_EQ(h.Form().StatusText(1), "Pausing");

    for (const bool playing : {false, true}) {
        if (playing) {
            h.Player().Play();
            h.Play(5);
        }
        // Pressed in the trough right of the thumb and held: the bar pages on by itself.
        const QPoint trough(bar->width() - 30, bar->height() / 2);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, trough);
        QTest::qWait(800);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, trough);
        ProcessEvents();
        EXPECT_GT(bar->value(), playing ? 300 : 270);
        EXPECT_EQ(uint32_t(bar->value()), h.Player().Position()) << "playing " << playing;
        EXPECT_EQ(h.LabelText("PosLbl").toInt(), bar->value());
    }
}

TEST(CutterSeekBar, EmptyIndexGivesNoReversedRangeAndDisablesWhatCannotWork) {
    // A range of 0..-1 would let the bar and the marks address a frame the file lacks.
    CutterHarness h;
    h.Cut()->IndexStream->SetSize(0);
    h.Cut()->MarkIn = 0;
    h.Cut()->MarkOut = -1;
    h.Form().OpenCutObject(h.Cut());
    ProcessEvents();
    auto* bar = h.Find<QScrollBar>("SeekBar");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), 0);
    for (const char* name : {"SeekBar", "MarkBeginBtn", "MarkEndBtn", "PlayBtn", "MarkPlayBtn",
                             "ToFileBtn", "MarkToCueListBtn", "CurrentToCueListBtn"}) {
        EXPECT_FALSE(h.Find<QWidget>(name)->isEnabled()) << name;
    }
    h.Key(Qt::Key_4, Qt::KeypadModifier);
    EXPECT_EQ(h.Cut()->MarkIn, 0);
    EXPECT_EQ(h.Cut()->MarkOut, -1);
}

TEST(CutterSeekBar, CuePastTheFilesEndStaysInsideTheBar) {
    // Cue files store frames unchecked; the bar would be asked for a position past its range.
    CutterHarness h;
    TCueObject early{h.Cut(), "early", 40, 80};
    h.Form().OpenCue(&early);
    ProcessEvents();
    EXPECT_EQ(h.Find<QScrollBar>("SeekBar")->value(), 40);
    EXPECT_EQ(h.LabelText("PosLbl"), "40");
    TCueObject cue{h.Cut(), "late", 5000, 5010};
    h.Form().OpenCue(&cue);
    ProcessEvents();
    auto* bar = h.Find<QScrollBar>("SeekBar");
    EXPECT_EQ(bar->maximum(), 999);
    EXPECT_EQ(bar->value(), 999);
    EXPECT_EQ(h.Player().Position(), 999u);
    EXPECT_FALSE(h.Find<QToolButton>("MarkPlayBtn")->isEnabled());
    EXPECT_TRUE(h.Find<QToolButton>("PlayBtn")->isEnabled());
    EXPECT_EQ(h.LabelText("MarkInLbl"), "5000");
}

TEST(CutterCueList, CurrentPositionAddsAOneFrameCueAndKeepsTheMarks) {
    // The marks would be left on the position, losing the selection.
    CutterHarness h;
    OpenWithMarks(h, 10, 20);
    MoveTo(h, 15);
    h.Click("CurrentToCueListBtn");
    ASSERT_EQ(h.Cues().Count(), 1);
    EXPECT_EQ(h.Cues().At(0)->MarkIn, 15);
    EXPECT_EQ(h.Cues().At(0)->MarkOut, 15);
    EXPECT_EQ(h.Cut()->MarkIn, 10);
    EXPECT_EQ(h.Cut()->MarkOut, 20);
    EXPECT_EQ(h.LabelText("MarkInLbl"), "10");
    h.Click("MarkToCueListBtn");
    ASSERT_EQ(h.Cues().Count(), 2);
    EXPECT_EQ(h.Cues().At(1)->Name, "Cue 2: numbered");
    EXPECT_EQ(h.Cues().At(1)->MarkIn, 10);
    EXPECT_EQ(h.Cues().At(1)->MarkOut, 20);
}

TEST(CutterExport, MarkedSelectionGoesToAnMp3FileFrameForFrame) {
    // An export of the whole file, or one frame short, would lose or add audio; a player left
    // suspended after it would never play again.
    CutterHarness h;
    OpenWithMarks(h, 10, 20);
    h.Click("PlayBtn");
    const std::string target = h.Dir().File("selection.mp3");
    h.Prompts().ExpectSaveFile(target);
    h.Click("ToFileBtn");
    ASSERT_TRUE(std::filesystem::exists(target));
    const auto frameLength = uintmax_t(FrameHeader(h.Cut(), 0).FrameLength);
    EXPECT_EQ(std::filesystem::file_size(target), 11 * frameLength);
    EXPECT_TRUE(h.Player().Active());
    EXPECT_EQ(h.Player().PlayerMode(), kModePlayAll);
}

TEST(CutterExport, ATargetThatCannotBeCreatedIsReportedAndPlaybackResumes) {
    // The create error would escape the handler and leave the player suspended for good.
    CutterHarness h;
    OpenWithMarks(h, 10, 20);
    h.Click("PlayBtn");
    h.Prompts().ExpectSaveFile(h.Dir().File("missing/selection.mp3"));
    h.Prompts().ExpectError();
    h.Click("ToFileBtn");
    ASSERT_FALSE(h.Prompts().History().empty());
    EXPECT_NE(h.Prompts().History().back().text.find("Cannot create file"), std::string::npos);
    EXPECT_TRUE(h.Player().Active());
    EXPECT_EQ(h.Player().PlayerMode(), kModePlayAll);
    EXPECT_TRUE(h.Find<QToolButton>("PlayBtn")->isEnabled());
}

TEST(CutterDisplay, ClickingALabelTogglesAllThreeLabelsAndTheLength) {
    // A label or the length panel left in the other display would show an unlabelled number.
    CutterHarness h;
    OpenWithMarks(h, 38, 76);
    MoveTo(h, 57);
    EXPECT_EQ(h.LabelText("MarkInLbl"), "38");
    EXPECT_EQ(h.Form().StatusText(2), "39");
    QTest::mouseClick(h.Find<QLabel>("MarkOutLbl"), Qt::LeftButton);
    ProcessEvents();
    EXPECT_TRUE(GlobalSettings().ShowCutterTime);
    const TFrameInfo& info = h.Cut()->FrameInfo;
    EXPECT_EQ(h.LabelText("MarkInLbl").toStdString(), FrameText(info, 38, true, true));
    EXPECT_EQ(h.LabelText("PosLbl").toStdString(), FrameText(info, 57, true, true));
    EXPECT_EQ(h.LabelText("MarkOutLbl").toStdString(), FrameText(info, 76, true, true));
    EXPECT_EQ(h.Form().StatusText(2).toStdString(), FrameText(info, 39, true, true));
    EXPECT_NE(h.LabelText("MarkInLbl"), "38");
    QTest::mouseClick(h.Find<QLabel>("PosLbl"), Qt::LeftButton);
    ProcessEvents();
    EXPECT_EQ(h.LabelText("MarkInLbl"), "38");
    EXPECT_EQ(h.LabelText("PosLbl"), "57");
}

constexpr TItemDragObject::Kind kBinEntry = TItemDragObject::Kind::BinEntry;
constexpr TItemDragObject::Kind kCue = TItemDragObject::Kind::Cue;

class CutterDrops : public ::testing::Test {
  protected:
    void TearDown() override { TItemDragObject::Instance().Clear(); }

    // Offers our own drag of a row of the given kind to target; returns whether target took it.
    bool Drop(QWidget* target, TItemDragObject::Kind kind, TCutObject* cut, TCueObject* cue) {
        TItemDragObject::DraggedItem item;
        item.list = &source_;
        item.row = 0;
        item.cutObject = cut;
        item.cue = cue;
        item.kind = kind;
        TItemDragObject::Instance().SetItem(item);
        QMimeData mime;
        mime.setData(kItemMimeType, "0");
        return Deliver(target, mime);
    }

    // Qt hands a drag to the nearest widget that accepts drops, with the position in its
    // coordinates: over any control of the cutter that is the window itself.
    bool Deliver(QWidget* target, QMimeData& mime) {
        QWidget* window = target;
        while (!window->acceptDrops() && window->parentWidget() != nullptr) {
            window = window->parentWidget();
        }
        const QPoint at = target->mapTo(window, target->rect().center());
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &drop);
        ProcessEvents();
        return drop.isAccepted();
    }

    QWidget source_;
};

TEST_F(CutterDrops, ABinEntryOpensItsFileAndACueOpensTheCue) {
    // A drop that opens the wrong thing, or keeps the holder's row, reaches a freed record later.
    CutterHarness h;
    h.Cut()->MarkIn = 7;
    h.Cut()->MarkOut = 9;
    ASSERT_TRUE(Drop(&h.Form(), kBinEntry, h.Cut(), nullptr));
    EXPECT_EQ(h.Form().CurrentCutObject(), h.Cut());
    EXPECT_EQ(h.Form().CurrentCue(), nullptr);
    EXPECT_EQ(h.Cut()->MarkIn, 7);  // a dropped entry keeps its marks
    EXPECT_TRUE(TItemDragObject::Instance().Item().Empty());

    TCueObject cue{h.Cut(), "dropped", 30, 40};
    ASSERT_TRUE(Drop(h.Find<QLabel>("PosLbl"), kCue, h.Cut(), &cue));
    EXPECT_EQ(h.Form().CurrentCue(), &cue);
    EXPECT_EQ(h.Cut()->MarkIn, 30);
    EXPECT_EQ(h.Player().Position(), 30u);
    EXPECT_TRUE(TItemDragObject::Instance().Item().Empty());
}

TEST_F(CutterDrops, ButtonsOtherListsAndForeignDragsAreRefused) {
    // A drop on a button would fire it or open a file the user did not mean to.
    CutterHarness h;
    EXPECT_FALSE(Drop(h.Find<QWidget>("PlayBtn"), kBinEntry, h.Cut(), nullptr));
    EXPECT_FALSE(Drop(h.Find<QWidget>("SeekBar"), kBinEntry, h.Cut(), nullptr));
    EXPECT_FALSE(Drop(h.Find<QWidget>("JogShuttle"), kBinEntry, h.Cut(), nullptr));
    EXPECT_EQ(h.Form().CurrentCutObject(), nullptr);
    Drop(&h.Form(), TItemDragObject::Kind::Other, h.Cut(), nullptr);
    EXPECT_EQ(h.Form().CurrentCutObject(), nullptr);
    TItemDragObject::Instance().Clear();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(h.Cut()->FileName))});
    EXPECT_FALSE(Deliver(&h.Form(), files));
    EXPECT_FALSE(Drop(h.Find<QWidget>("VolumeBar"), kBinEntry, h.Cut(), nullptr));
    EXPECT_EQ(h.Form().CurrentCutObject(), nullptr);
    // The check boxes, the labels and the status bar take it.
    EXPECT_TRUE(Drop(h.Find<QCheckBox>("LoopBox"), kBinEntry, h.Cut(), nullptr));
    EXPECT_EQ(h.Form().CurrentCutObject(), h.Cut());
}

TEST(CutterVisibility, HidingPausesAndShowingResumesWithTheViewItemInStep) {
    // Showing before resuming matters: resuming a hidden window leaves the player paused.
    CutterHarness h;
    QAction view("&Cutter");
    view.setCheckable(true);
    h.Form().SetViewAction(&view);
    EXPECT_TRUE(view.isChecked());
    OpenWithMarks(h, 0, 999);
    h.Click("PlayBtn");
    h.Form().close();
    EXPECT_FALSE(h.Form().isVisible());
    EXPECT_FALSE(view.isChecked());
    EXPECT_EQ(h.Player().PlayerMode(), kModePausing);
    EXPECT_FALSE(h.Player().Active());
    EXPECT_FALSE(h.Find<QToolButton>("PlayBtn")->isEnabled());
    EXPECT_FALSE(h.Find<QToolButton>("ToFileBtn")->isEnabled());
    h.Form().ToggleVisible();
    EXPECT_TRUE(h.Form().isVisible());
    EXPECT_TRUE(view.isChecked());
    EXPECT_EQ(h.Player().PlayerMode(), kModePlayAll);
    EXPECT_TRUE(h.Player().Active());
    EXPECT_TRUE(h.Find<QToolButton>("PlayBtn")->isEnabled());
}

TEST(CutterVisibility, OpeningWhileHiddenShowsTheWindowWithoutResumingTheOldFile) {
    // The window stayed hidden with a player that could not play, or the old file played on.
    CutterHarness h;
    QAction view("&Cutter");
    view.setCheckable(true);
    h.Form().SetViewAction(&view);
    OpenWithMarks(h, 0, 999);
    h.Click("PlayBtn");
    h.Form().ToggleVisible();
    ASSERT_FALSE(h.Form().isVisible());
    CutObjectPtr other = h.MakeCut(50, "other");
    h.Form().OpenCutObject(other.get());
    ProcessEvents();
    EXPECT_TRUE(h.Form().isVisible());
    EXPECT_TRUE(view.isChecked());
    EXPECT_TRUE(h.Player().Active());
    EXPECT_EQ(h.Player().CutObject(), other.get());
    EXPECT_EQ(h.Player().PlayerMode(), kModePausing);
    EXPECT_TRUE(h.Find<QToolButton>("PlayBtn")->isEnabled());
    h.Form().OpenCutObject(nullptr);
}

TEST(CutterPlayerErrors, AnErrorIsShownAndASuspendedPlayerStaysInactive) {
    // Reactivating a suspended player would read the source under a running worker.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    h.Device().FailNext(TestWaveOut::Op::Restart, kWaveNoMemory);
    h.Prompts().ExpectError();
    h.Click("PlayBtn");
    ASSERT_EQ(h.Prompts().History().size(), 1u);
    EXPECT_EQ(h.Prompts().History()[0].caption, "Error message");
    EXPECT_TRUE(h.Player().Active());

    // The error is sticky: the suspension's own mode change reports it again.
    h.Prompts().ExpectError();
    h.Form().EnablePlayer(false);
    h.Device().FailNext(TestWaveOut::Op::Restart, kWaveNoMemory);
    h.Prompts().ExpectError();
    h.Player().SetPlayerMode(kModePlayAll);
    EXPECT_FALSE(h.Player().Active());
}

TEST(CutterWithoutSound, MarksCuesAndExportsWorkAndTheStatusBarSaysWhy) {
    // With no sound server the window was dead: nothing could be marked, listed or exported.
    CutterHarness h(1000, std::make_unique<NullWaveOut>());
    OpenWithMarks(h, 0, 999);
    EXPECT_NE(h.Form().StatusText(0).indexOf("numbered - nothing plays"), -1);
    EXPECT_EQ(h.Form().StatusText(1), "None");
    EXPECT_FALSE(h.Find<QToolButton>("PlayBtn")->isEnabled());
    EXPECT_FALSE(h.Find<QToolButton>("MarkPlayBtn")->isEnabled());
    auto* bar = h.Find<QScrollBar>("SeekBar");
    ASSERT_TRUE(bar->isEnabled());
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    ProcessEvents();
    EXPECT_EQ(h.LabelText("PosLbl"), "10");
    h.Click("MarkBeginBtn");
    EXPECT_EQ(h.Cut()->MarkIn, 10);
    h.Click("MarkOutBtn");  // jumps to mark-out on the bar alone
    EXPECT_EQ(bar->value(), 999);
    h.Click("MarkEndBtn");
    h.Click("MarkToCueListBtn");
    ASSERT_EQ(h.Cues().Count(), 1);
    EXPECT_EQ(h.Cues().At(0)->MarkIn, 10);
    EXPECT_EQ(h.Cues().At(0)->MarkOut, 999);
    EXPECT_TRUE(h.Find<QToolButton>("ToFileBtn")->isEnabled());
}

TEST(CutterSwitches, VolumeMuteAndLoopReachThePlayerAndTheSettings) {
    // The bar's top is loudest; a switch that did not reach the settings is lost at exit.
    CutterHarness h;
    OpenWithMarks(h, 0, 999);
    auto* volume = h.Find<QScrollBar>("VolumeBar");
    EXPECT_EQ(volume->value(), 65535 - 32768);
    volume->triggerAction(QAbstractSlider::SliderToMinimum);
    ProcessEvents();
    EXPECT_EQ(GlobalSettings().PlayerVolume, 65535);
    EXPECT_EQ(h.Device().DeviceVolume(), 0xFFFFFFFFu);
    h.Click("MuteBox");
    EXPECT_TRUE(GlobalSettings().CutterMuted);
    EXPECT_TRUE(h.Player().MuteMode());
    EXPECT_FALSE(volume->isEnabled());
    EXPECT_EQ(h.Device().DeviceVolume(), 0u);
    h.Click("LoopBox");
    EXPECT_TRUE(GlobalSettings().CutterLooped);
    EXPECT_TRUE(h.Player().LoopMode());
}

TEST(CutterJumps, PositionDialogAndMarkButtonsMoveThePlayer) {
    // A jump that reached only the label would leave the audio where it was.
    CutterHarness h;
    TFrameInfo seenInfo{};
    int32_t seenPosition = -1;
    h.Form().SetJumpDialog([&](const TFrameInfo& info, int32_t position) {
        seenInfo = info;
        seenPosition = position;
        return std::optional<int32_t>(250);
    });
    OpenWithMarks(h, 100, 200);
    MoveTo(h, 42);
    h.Click("PosBtn");
    EXPECT_EQ(seenPosition, 42);
    EXPECT_EQ(seenInfo, h.Cut()->FrameInfo);
    EXPECT_EQ(h.Player().Position(), 250u);
    h.Click("MarkInBtn");
    EXPECT_EQ(h.Player().Position(), 100u);
    h.Key(Qt::Key_8, Qt::KeypadModifier);
    EXPECT_EQ(h.Player().Position(), 250u);
    h.Click("MarkOutBtn");
    EXPECT_EQ(h.Player().Position(), 200u);
}

TEST(CutterDocumentEvents, DeletingTheOpenFileOrCueClosesIt) {
    // The player would go on reading a freed cut object.
    CutterHarness h;
    CutObjectPtr other = h.MakeCut(20, "other");
    h.Form().OpenCutObject(other.get());
    h.Form().CutObjectDeleted(h.Cut());  // not the open one
    EXPECT_EQ(h.Form().CurrentCutObject(), other.get());
    h.Click("PlayBtn");
    h.Form().CutObjectDeleted(other.get());
    EXPECT_EQ(h.Form().CurrentCutObject(), nullptr);
    EXPECT_EQ(h.Form().StatusText(1), "None");
    EXPECT_EQ(h.Player().PlayerState(), kStateClosed);
    EXPECT_EQ(h.LabelText("PosLbl"), "0");

    TCueObject cue{h.Cut(), "cue", 1, 2};
    h.Form().OpenCue(&cue);
    cue.Name = "renamed";
    h.Form().CueChanged(&cue);
    EXPECT_EQ(h.Form().StatusText(0), "renamed");
    h.Form().CueDeleted(&cue);
    EXPECT_EQ(h.Form().CurrentCue(), nullptr);
    EXPECT_EQ(h.Form().CurrentCutObject(), nullptr);
    EXPECT_FALSE(h.Find<QToolButton>("UpdateCueBtn")->isEnabled());
}

TEST(CutterControls, EveryControlHasANameAHintAndAnAccessibleName) {
    // An end-to-end test could not find the control, and the status panel would show no hint.
    CutterHarness h;
    for (const char* name : {"MarkInBtn", "PosBtn", "MarkOutBtn", "MarkBeginBtn", "MarkPlayBtn",
                             "MarkEndBtn", "MarkToCueListBtn", "CurrentToCueListBtn", "PlayBtn",
                             "CueBtn", "PauseBtn", "UpdateCueBtn", "ToFileBtn", "MuteBox",
                             "LoopBox", "AutoPlayBox", "JogShuttle", "VolumeBar"}) {
        QWidget* w = h.Find<QWidget>(name);
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->accessibleName().isEmpty()) << name;
        EXPECT_FALSE(w->statusTip().isEmpty()) << name;
    }
    // The labels and panels are read by the time or text they show: a name such as "Current
    // position" hid the position itself from a screen reader.
    OpenWithMarks(h, 38, 76);
    for (QLabel* label : h.Form().findChildren<QLabel*>()) {
        EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name),
                  label->text())
            << label->objectName().toStdString();
    }
    EXPECT_EQ(h.Find<QLabel>("PosLbl")->accessibleDescription(), "Current position");
    EXPECT_EQ(h.Find<QWidget>("PlayBtn")->accessibleName(), "Play complete file");
    auto* volume = h.Find<QScrollBar>("VolumeBar");
    EXPECT_EQ(volume->accessibleName(), "Volume");
    EXPECT_EQ(volume->toolTip(), "Volume");
    EXPECT_EQ(h.Find<QLabel>("VolumeLbl")->text(), "Volume");
    EXPECT_EQ(h.Find<QLabel>("VolumeLbl")->buddy(), volume);
    EXPECT_EQ(h.Form().size(), QSize(406, 164));
    EXPECT_EQ(h.Form().windowTitle(), "Cutter (keyboard enabled)");
}

}  // namespace
}  // namespace sw::test
