#include <gtest/gtest.h>

#include <limits>

#include "widgets/knob_geometry.h"

namespace sw::knob {
namespace {

constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();

// A wrong sign or a missing zero case would turn the sweep the wrong way or divide by zero.
TEST(KnobDegreesPerUnit, FollowTheRangeIncludingEqualAndReversedEnds) {
    EXPECT_FLOAT_EQ(DegreesPerUnit(-5, 5), 30.0f);
    EXPECT_FLOAT_EQ(DegreesPerUnit(-100, 100), 1.5f);
    EXPECT_FLOAT_EQ(DegreesPerUnit(0, 127), 300.0f / 127.0f);
    EXPECT_EQ(DegreesPerUnit(7, 7), 0.0f);
    EXPECT_FLOAT_EQ(DegreesPerUnit(5, -5), -30.0f);
    // Max - Min overflows 32 bits here; done in 32 bits the rate would come out negative.
    EXPECT_GT(DegreesPerUnit(kLowest, kHighest), 0.0f);
    EXPECT_LT(DegreesPerUnit(kHighest, kLowest), 0.0f);
}

// The jog/shuttle reads its rest position at the top and its two speeds at the stops; an angle
// off by the sweep direction would seek backwards when turned forwards.
TEST(KnobAngles, StopsAndTopMapBothWaysOnTheDesignedRange) {
    const float dpu = DegreesPerUnit(-5, 5);
    EXPECT_EQ(PositionToAngle(-5, -5, dpu), 240);
    EXPECT_EQ(PositionToAngle(0, -5, dpu), 90);
    EXPECT_EQ(PositionToAngle(5, -5, dpu), -60);
    EXPECT_EQ(AngleToPosition(240, -5, dpu), -5);
    EXPECT_EQ(AngleToPosition(90, -5, dpu), 0);
    EXPECT_EQ(AngleToPosition(-60, -5, dpu), 5);
    // Half-way between two positions rounds to the even number of units: 5.5 and 6.5 both give 6.
    EXPECT_EQ(AngleToPosition(75, -5, dpu), 1);
    EXPECT_EQ(AngleToPosition(45, -5, dpu), 1);

    const float wide = DegreesPerUnit(-100, 100);
    EXPECT_EQ(PositionToAngle(0, -100, wide), 90);
    EXPECT_EQ(PositionToAngle(100, -100, wide), -60);
    EXPECT_EQ(AngleToPosition(0, -100, wide), 60);
}

// With equal ends the rate is 0: dividing by it would give infinities instead of the minimum.
TEST(KnobAngles, EqualEndsMapEveryAngleToTheMinimum) {
    const float dpu = DegreesPerUnit(3, 3);
    for (int angle : {240, 90, 0, -60}) {
        EXPECT_EQ(AngleToPosition(angle, 3, dpu), 3) << angle;
    }
    EXPECT_EQ(PositionToAngle(3, 3, dpu), 240);
}

// On the widest range the stop lies 2^32 - 1 units away; without saturation the lower-right stop
// would wrap around to a large negative position. The single-precision rate is only near exact.
TEST(KnobAngles, WidestRangeDoesNotWrapAtTheStops) {
    const float dpu = DegreesPerUnit(kLowest, kHighest);
    EXPECT_GT(AngleToPosition(-60, kLowest, dpu), kHighest - 1000);
    EXPECT_EQ(AngleToPosition(240, kLowest, dpu), kLowest);
    EXPECT_EQ(PositionToAngle(kHighest, kLowest, dpu), -60);
    EXPECT_EQ(PositionToAngle(kLowest, kLowest, dpu), 240);
}

// Beyond-range positions must never reach the player as seek speeds the knob cannot show.
TEST(KnobRange, ClampsNormalRangesAndFoldsReversedOnes) {
    const float dpu = DegreesPerUnit(-5, 5);
    EXPECT_EQ(ClampPosition(9, -5, 5, dpu), 5);
    EXPECT_EQ(ClampPosition(-9, -5, 5, dpu), -5);
    EXPECT_EQ(ClampPosition(kHighest, -5, 5, dpu), 5);
    EXPECT_EQ(ClampPosition(2, 4, 4, DegreesPerUnit(4, 4)), 4);

    // Min above Max: above Min goes to Max, then below Max goes to Min; between stays.
    const float reversed = DegreesPerUnit(5, -5);
    EXPECT_EQ(ClampPosition(7, 5, -5, reversed), -5);
    EXPECT_EQ(ClampPosition(-7, 5, -5, reversed), 5);
    EXPECT_EQ(ClampPosition(0, 5, -5, reversed), 0);
    EXPECT_EQ(ClampPosition(5, 5, -5, reversed), 5);
}

TEST(KnobState, AssignRecomputesTheRateOnlyWhenAnEndChangesAndKeepsTheAngleInStep) {
    State state;
    EXPECT_EQ(state.Span(), 127);
    state.Assign(200, 0, 127);
    EXPECT_EQ(state.position, 127);
    EXPECT_EQ(state.angle, -60);

    // Swapping the ends turns the sweep around: the minimum now sits at the lower-right stop.
    state.Assign(0, 10, -10);
    EXPECT_FLOAT_EQ(state.degreesPerUnit, -15.0f);
    EXPECT_EQ(state.Span(), 20);
    EXPECT_EQ(state.position, 0);
    EXPECT_EQ(state.angle, 90);
    state.Assign(-10, 10, -10);
    EXPECT_EQ(state.angle, -60);

    State widest;
    widest.Assign(0, kHighest, kLowest);
    EXPECT_EQ(widest.Span(), int64_t(kHighest) - kLowest);
}

// Page and arrow steps at the 32-bit ends would wrap to the opposite end before clamping.
TEST(KnobKeys, StepsSaturateInsteadOfWrapping) {
    EXPECT_EQ(KeyTarget(Key::PageUp, 3, -5, 5, 10), 13);
    EXPECT_EQ(KeyTarget(Key::PageDown, 3, -5, 5, 10), -7);
    EXPECT_EQ(KeyTarget(Key::End, 3, -5, 5, 10), 5);
    EXPECT_EQ(KeyTarget(Key::Home, 3, -5, 5, 10), -5);
    EXPECT_EQ(KeyTarget(Key::Left, 3, -5, 5, 10), 2);
    EXPECT_EQ(KeyTarget(Key::Down, 3, -5, 5, 10), 2);
    EXPECT_EQ(KeyTarget(Key::Up, 3, -5, 5, 10), 4);
    EXPECT_EQ(KeyTarget(Key::Right, 3, -5, 5, 10), 4);
    EXPECT_EQ(KeyTarget(Key::PageUp, kHighest, kLowest, kHighest, 16), kHighest);
    EXPECT_EQ(KeyTarget(Key::Right, kHighest, kLowest, kHighest, 16), kHighest);
    EXPECT_EQ(KeyTarget(Key::PageDown, kLowest, kLowest, kHighest, 16), kLowest);
    EXPECT_EQ(KeyTarget(Key::Left, kLowest, kLowest, kHighest, 16), kLowest);
}

// Pointing straight down must give the minimum end: the sign of an infinite slope would
// otherwise pick a stop at random.
TEST(KnobMouseAngle, CompassPointsAndTheDeadZoneAtTheBottom) {
    EXPECT_EQ(MouseAngle(20, 35, 40, 40), 240);  // straight below
    EXPECT_EQ(MouseAngle(20, 5, 40, 40), 90);    // straight above
    EXPECT_EQ(MouseAngle(20, 20, 40, 40), 90);   // the centre itself
    EXPECT_EQ(MouseAngle(35, 20, 40, 40), 0);
    EXPECT_EQ(MouseAngle(5, 20, 40, 40), 180);
    EXPECT_EQ(MouseAngle(10, 10, 40, 40), 135);
    EXPECT_EQ(MouseAngle(30, 10, 40, 40), 45);
    EXPECT_EQ(MouseAngle(10, 30, 40, 40), 225);
    // Below the lower-left stop snaps to it, below the lower-right one to that.
    EXPECT_EQ(MouseAngle(19, 39, 40, 40), 240);
    EXPECT_EQ(MouseAngle(21, 39, 40, 40), -60);
    EXPECT_EQ(MouseAngle(30, 30, 40, 40), -45);
}

TEST(KnobMouseAngle, OnlyTheRoundFaceTakesPresses) {
    EXPECT_TRUE(InsideInscribedEllipse(20, 20, 40, 40));
    EXPECT_TRUE(InsideInscribedEllipse(0, 20, 40, 40));
    EXPECT_TRUE(InsideInscribedEllipse(20, 39, 40, 40));
    EXPECT_FALSE(InsideInscribedEllipse(0, 0, 40, 40));
    EXPECT_FALSE(InsideInscribedEllipse(39, 39, 40, 40));
    EXPECT_FALSE(InsideInscribedEllipse(3, 4, 40, 40));
    EXPECT_FALSE(InsideInscribedEllipse(40, 20, 40, 40));
    EXPECT_FALSE(InsideInscribedEllipse(0, 0, 0, 0));
}

// A knob that does not stay square paints an oval face whose angles no longer match the mouse.
TEST(KnobSquare, GrowthTakesTheLargerSideAndShrinkTheSmaller) {
    EXPECT_EQ(SquareSide(40, 60, 30), 60);
    EXPECT_EQ(SquareSide(40, 30, 60), 60);
    EXPECT_EQ(SquareSide(40, 30, 35), 30);
    EXPECT_EQ(SquareSide(40, 40, 20), 20);
    EXPECT_EQ(SquareSide(40, 40, 40), 40);
}

TEST(KnobPainting, IndicatorRunsBetweenTheTwoRadiiFromTheCentre) {
    EXPECT_EQ(IndicatorLine(20, 90), (Indicator{{20, 11}, {20, 5}}));
    EXPECT_EQ(IndicatorLine(20, 0), (Indicator{{29, 20}, {35, 20}}));
    EXPECT_EQ(IndicatorLine(20, 180), (Indicator{{11, 20}, {5, 20}}));
    EXPECT_EQ(IndicatorLine(20, -60), (Indicator{{24, 28}, {28, 33}}));
}

// Drawing out of order would paint the face over the indicator or leave the old one standing.
TEST(KnobPainting, PlanDrawsFaceBevelRimFocusThenErasesAndDrawsTheIndicator) {
    using K = Stroke::Kind;
    const Indicator previous = IndicatorLine(20, 240);
    const std::vector<Stroke> plan = PaintPlan(40, 90, true, false, &previous);
    ASSERT_EQ(plan.size(), 9u);
    EXPECT_EQ(plan[0].kind, K::FilledEllipse);
    EXPECT_EQ(plan[0].colour, Colour::Face);
    EXPECT_EQ(plan[0].box, (Box{2, 2, 38, 38}));
    EXPECT_EQ(plan[1].kind, K::Arc);
    EXPECT_EQ(plan[1].colour, Colour::Highlight);
    EXPECT_EQ(plan[1].penWidth, 2);
    EXPECT_EQ(plan[2].colour, Colour::Shadow);
    EXPECT_EQ(plan[2].penWidth, 2);
    EXPECT_EQ(plan[3].kind, K::Ellipse);
    EXPECT_EQ(plan[3].colour, Colour::Black);
    EXPECT_EQ(plan[3].box, (Box{0, 0, 40, 40}));
    EXPECT_EQ(plan[4].kind, K::Arc);
    EXPECT_EQ(plan[4].colour, Colour::Shadow);
    EXPECT_EQ(plan[5].colour, Colour::Face);
    EXPECT_EQ(plan[6].colour, Colour::Face);
    EXPECT_EQ(plan[6].from, previous.from);
    EXPECT_EQ(plan[6].to, previous.to);
    EXPECT_EQ(plan[7].colour, Colour::Highlight);
    EXPECT_EQ(plan[7].from, (Point{21, 12}));
    EXPECT_EQ(plan[7].to, (Point{21, 6}));
    EXPECT_EQ(plan[8].kind, K::Line);
    EXPECT_EQ(plan[8].colour, Colour::Line);
    EXPECT_EQ(plan[8].from, (Point{20, 11}));

    const std::vector<Stroke> first = PaintPlan(40, 90, false, true, nullptr);
    ASSERT_EQ(first.size(), 7u);
    EXPECT_EQ(first[3].colour, Colour::Shadow);  // rim of a disabled knob
    EXPECT_EQ(first[4].colour, Colour::Black);   // focus arc of a focused one
    EXPECT_EQ(first[6].colour, Colour::Line);
}

}  // namespace
}  // namespace sw::knob
