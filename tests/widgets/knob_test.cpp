#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <vector>

#include "widgets/ui/knob.h"

namespace sw {
namespace {

// A knob in a shown, active window beside a line edit that can take the focus away from it.
class KnobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        knob = new TKnob(&window);
        other = new QLineEdit(&window);
        layout->addWidget(knob);
        layout->addWidget(other);
        QObject::connect(knob, &TKnob::OnChange, [this](TKnob* sender) {
            EXPECT_EQ(sender, knob);
            changes.push_back(sender->Position());
        });
    }

    void ShowActive() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // The cutter's jog/shuttle: -5..5, spring-loaded, page size 16.
    void MakeJogShuttle() {
        knob->SetParams(0, -5, 5);
        knob->SetPageSize(16);
        knob->SetSpringLoaded(true);
        changes.clear();
    }

    QPoint At(int x, int y) const { return QPoint(x, y); }
    QPoint Top() const { return QPoint(knob->width() / 2, 3); }
    QPoint Left() const { return QPoint(3, knob->height() / 2); }
    QPoint Right() const { return QPoint(knob->width() - 3, knob->height() / 2); }

    // Declared first so that it outlives the window: a focused spring-loaded knob still reports
    // its return to 0 while the window is torn down.
    std::vector<int32_t> changes;
    QWidget window;
    TKnob* knob = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(KnobTest, NewKnobHasTheDocumentedDefaultsAndAName) {
    EXPECT_EQ(knob->Min(), 0);
    EXPECT_EQ(knob->Max(), 127);
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(knob->PageSize(), 10);
    EXPECT_FALSE(knob->SpringLoaded());
    EXPECT_EQ(knob->PositionLabel(), nullptr);
    EXPECT_EQ(knob->size(), QSize(40, 40));
    EXPECT_EQ(knob->Radius(), 20);
    EXPECT_EQ(knob->Angle(), 240);
    EXPECT_FALSE(knob->accessibleName().isEmpty());
    EXPECT_EQ(knob->focusPolicy(), Qt::TabFocus);
}

// The cutter enables its jog timer from OnChange; an assignment that skipped the event when the
// value stayed the same would leave the timer running after the knob came back to 0.
TEST_F(KnobTest, OnChangeFiresOnEveryAssignmentEvenWithoutAChange) {
    knob->SetPosition(0);
    knob->SetPosition(0);
    knob->SetMin(-5);
    knob->SetMax(5);
    knob->SetParams(9, -5, 5);
    EXPECT_EQ(changes, (std::vector<int32_t>{0, 0, 0, 0, 5}));
    EXPECT_FLOAT_EQ(knob->DegreesPerUnit(), 30.0f);
    EXPECT_EQ(knob->Angle(), -60);
}

TEST_F(KnobTest, SpringLoadingSetsZeroAtOnceAndTheRangeRuleStillApplies) {
    knob->SetParams(50, 10, 100);
    changes.clear();
    knob->SetSpringLoaded(true);
    // 0 lies below the range, so the spring's 0 lands on the minimum.
    EXPECT_EQ(changes, (std::vector<int32_t>{10}));
    knob->SetSpringLoaded(false);
    EXPECT_EQ(changes.size(), 1u);
}

// Every key goes through the range rule: a step past a stop must stop there, and Page Up at Max
// must still report, since the cutter reads its speed from OnChange.
TEST_F(KnobTest, KeysStepPageAndJumpToTheEndsWithinTheRange) {
    ShowActive();
    MakeJogShuttle();
    knob->setFocus();
    QTest::keyClick(knob, Qt::Key_Right);
    QTest::keyClick(knob, Qt::Key_Up);
    QTest::keyClick(knob, Qt::Key_Left);
    QTest::keyClick(knob, Qt::Key_PageUp);
    QTest::keyClick(knob, Qt::Key_PageUp);
    QTest::keyClick(knob, Qt::Key_Down);
    QTest::keyClick(knob, Qt::Key_PageDown);
    QTest::keyClick(knob, Qt::Key_End);
    QTest::keyClick(knob, Qt::Key_Home);
    EXPECT_EQ(changes, (std::vector<int32_t>{1, 2, 1, 5, 5, 4, -5, 5, -5}));
}

// A key the knob does not use must travel on to the window (the cutter's own keys).
TEST_F(KnobTest, OtherKeysAreLeftToTheParent) {
    ShowActive();
    knob->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(knob, &press);
    EXPECT_FALSE(press.isAccepted());
    QKeyEvent arrow(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(knob, &arrow);
    EXPECT_TRUE(arrow.isAccepted());
    EXPECT_TRUE(changes.size() == 1u && changes[0] == 1);
}

// Dragging follows the angle, and a spring-loaded knob must report 0 on release even when it was
// already at 0, or the cutter would keep seeking.
TEST_F(KnobTest, DragFollowsTheAngleAndReleaseSpringsBackReportingZero) {
    ShowActive();
    MakeJogShuttle();
    QTest::mousePress(knob, Qt::LeftButton, {}, Top());
    EXPECT_TRUE(knob->Dragging());
    EXPECT_TRUE(knob->hasFocus());
    EXPECT_EQ(knob->Position(), 0);
    QTest::mouseMove(knob, Left());
    EXPECT_EQ(knob->LastMouseAngle(), 180);
    EXPECT_EQ(knob->Position(), -3);
    QTest::mouseMove(knob, Right());
    EXPECT_EQ(knob->Position(), 3);
    QTest::mouseMove(knob, At(20, 37));  // straight below: the minimum stop, never the maximum
    EXPECT_EQ(knob->Position(), -5);
    QTest::mouseMove(knob, Top());
    EXPECT_EQ(knob->Position(), 0);
    QTest::mouseRelease(knob, Qt::LeftButton, {}, Top());
    EXPECT_FALSE(knob->Dragging());
    EXPECT_EQ(changes, (std::vector<int32_t>{0, -3, 3, -5, 0, 0}));
}

TEST_F(KnobTest, ReleaseOfAFreeKnobKeepsTheAngleReached) {
    ShowActive();
    knob->SetParams(0, -5, 5);
    changes.clear();
    QTest::mousePress(knob, Qt::LeftButton, {}, Right());
    QTest::mouseRelease(knob, Qt::LeftButton, {}, Right());
    EXPECT_EQ(knob->Position(), 3);
    EXPECT_EQ(changes, (std::vector<int32_t>{3}));
}

// A press in the corners, outside the round face, or with another button, must neither take the
// focus nor start a drag that the next mouse move would turn into a seek.
TEST_F(KnobTest, PressesOutsideTheFaceOrWithOtherButtonsDoNothing) {
    ShowActive();
    other->setFocus();
    MakeJogShuttle();
    QTest::mousePress(knob, Qt::LeftButton, {}, At(1, 1));
    QTest::mousePress(knob, Qt::RightButton, {}, Top());
    QTest::mouseMove(knob, Right());
    EXPECT_FALSE(knob->Dragging());
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(knob->LastMouseAngle(), 0);  // moves are still followed
    QTest::mouseRelease(knob, Qt::RightButton, {}, Right());
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(knob->Position(), 0);
}

// Losing the focus mid-drag (another window popping up) must stop the shuttle.
TEST_F(KnobTest, FocusLossEndsTheDragAndSpringsBack) {
    ShowActive();
    MakeJogShuttle();
    QTest::mousePress(knob, Qt::LeftButton, {}, Right());
    ASSERT_EQ(knob->Position(), 3);
    other->setFocus();
    EXPECT_FALSE(knob->Dragging());
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(changes.back(), 0);
    QTest::mouseMove(knob, Left());
    EXPECT_EQ(knob->Position(), 0);
}

TEST_F(KnobTest, LabelShowsPositionAndCaptionAndFollowsTheKnob) {
    QLabel label(&window);
    knob->SetCaption("frames");
    knob->SetPositionLabel(&label);
    EXPECT_EQ(label.text(), "0 frames");
    knob->SetPosition(7);
    EXPECT_EQ(label.text(), "7 frames");
    knob->SetCaption("");
    EXPECT_EQ(label.text(), "7 ");

    ShowActive();
    label.show();
    knob->setEnabled(false);
    EXPECT_FALSE(label.isEnabled());
    knob->setEnabled(true);
    EXPECT_TRUE(label.isEnabled());
    knob->hide();
    EXPECT_FALSE(label.isVisible());
    knob->show();
    EXPECT_TRUE(label.isVisible());
}

// A destroyed label must be forgotten, or the next position change writes to freed memory.
TEST_F(KnobTest, DestroyedLabelIsForgotten) {
    auto* label = new QLabel(&window);
    knob->SetPositionLabel(label);
    delete label;
    EXPECT_EQ(knob->PositionLabel(), nullptr);
    knob->SetPosition(4);
    knob->hide();
    knob->setEnabled(false);
    EXPECT_EQ(knob->Position(), 4);
}

TEST_F(KnobTest, ResizingKeepsTheKnobSquare) {
    ShowActive();  // a hidden widget hears of its new size only when it is shown
    knob->resize(60, 30);
    EXPECT_EQ(knob->size(), QSize(60, 60));
    EXPECT_EQ(knob->Radius(), 30);
    knob->resize(50, 55);
    EXPECT_EQ(knob->size(), QSize(50, 50));
    knob->resize(31, 31);
    EXPECT_EQ(knob->Radius(), 15);
    EXPECT_EQ(knob->sizeHint(), QSize(31, 31));
}

// The face colour as indicator colour would make the indicator invisible.
TEST_F(KnobTest, LineColourRefusesTheFaceColour) {
    knob->SetLineColor(Qt::blue);
    knob->SetLineColor(knob->palette().color(QPalette::Button));
    EXPECT_EQ(knob->LineColor(), QColor(Qt::blue));
}

// The indicator must be drawn where the geometry says and the old one must not stay behind.
TEST_F(KnobTest, PaintingDrawsTheIndicatorAtItsAngleOverTheFace) {
    knob->SetParams(0, -5, 5);
    knob->SetLineColor(QColor(0, 0, 255));
    const QColor face = knob->palette().color(QPalette::Button);
    QImage image = knob->grab().toImage();
    ASSERT_TRUE(knob->LastIndicator().has_value());
    EXPECT_EQ(*knob->LastIndicator(), knob::IndicatorLine(20, 90));
    EXPECT_EQ(image.pixelColor(20, 8), QColor(0, 0, 255));  // half-way along the line at the top
    EXPECT_EQ(image.pixelColor(20, 30), face);

    knob->SetPosition(-5);
    image = knob->grab().toImage();
    EXPECT_EQ(*knob->LastIndicator(), knob::IndicatorLine(20, 240));
    EXPECT_EQ(image.pixelColor(20, 8), face);
    const knob::Indicator line = knob::IndicatorLine(20, 240);
    EXPECT_EQ(image.pixelColor((line.from.x + line.to.x) / 2, (line.from.y + line.to.y) / 2),
              QColor(0, 0, 255));
    // Outside the rim the parent's colour shows.
    EXPECT_EQ(image.pixelColor(0, 0), knob->palette().color(QPalette::Window));
}

// Screen readers read the knob as a dial with its value and range, and may set it.
TEST_F(KnobTest, AccessibleAsADialWithValueAndRange) {
    knob->SetParams(2, -5, 5);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(knob);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Dial);
    EXPECT_EQ(accessible->text(QAccessible::Name), knob->accessibleName());
    QAccessibleValueInterface* value = accessible->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 2);
    EXPECT_EQ(value->minimumValue().toInt(), -5);
    EXPECT_EQ(value->maximumValue().toInt(), 5);
    changes.clear();
    value->setCurrentValue(40);
    EXPECT_EQ(changes, (std::vector<int32_t>{5}));
    knob->SetParams(0, 5, -5);
    EXPECT_EQ(value->minimumValue().toInt(), -5);
    EXPECT_EQ(value->maximumValue().toInt(), 5);
}

}  // namespace
}  // namespace sw
