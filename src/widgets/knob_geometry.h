#pragma once

#include <cstdint>
#include <vector>

// The arithmetic of the rotary knob, free of any toolkit so that it is tested without a window.
// Angles are whole degrees, counter-clockwise from the positive x axis (0 right, 90 up). The
// sweep runs clockwise from 240 (lower left, the minimum) over 90 (top) to -60 (lower right, the
// maximum): 300 degrees.
namespace sw::knob {

inline constexpr int32_t kMinAngle = 240;
inline constexpr int32_t kMaxAngle = -60;
inline constexpr int32_t kSweep = 300;

// 300 / (max - min) in single precision; 0 when the two are equal, negative when min > max.
float DegreesPerUnit(int32_t min, int32_t max);

// Indicator angle of a position: 240 - round((position - min) x degrees per unit).
int32_t PositionToAngle(int32_t position, int32_t min, float degreesPerUnit);

// Position of an angle: min when degrees per unit is 0, else round((240 - angle) / dpu) + min,
// held within the 32-bit range (the caller clamps it into the knob's range).
int32_t AngleToPosition(int32_t angle, int32_t min, float degreesPerUnit);

// The range rule every assignment goes through. With min <= max the position is clamped into
// [min, max]; with min > max (negative degrees per unit) a position above min becomes max, and
// then a position below max becomes min.
int32_t ClampPosition(int32_t position, int32_t min, int32_t max, float degreesPerUnit);

// Angle from the centre (width / 2, height / 2) to a mouse point, in the sweep: straight below the
// centre is the minimum end, the dead zone at the bottom snaps to the nearer stop.
int32_t MouseAngle(int x, int y, int width, int height);

// Whether a point lies in the ellipse inscribed in a width x height rectangle at the origin.
bool InsideInscribedEllipse(int x, int y, int width, int height);

// Side of the square after a resize to width x height from a square of previousSide: a growth in
// either direction takes the larger of the two, otherwise a shrink takes the smaller.
int SquareSide(int previousSide, int width, int height);

// The state a knob keeps; Assign is the one routine that sets position, minimum and maximum.
struct State {
    int32_t min = 0;
    int32_t max = 127;
    int32_t position = 0;
    float degreesPerUnit = DegreesPerUnit(0, 127);
    int32_t angle = kMinAngle;

    void Assign(int32_t newPosition, int32_t newMin, int32_t newMax);
    // |max - min|, which may exceed the 32-bit range.
    int64_t Span() const;
};

// Keys the knob answers; the widget maps its toolkit's key codes onto these.
enum class Key { PageUp, PageDown, End, Home, Left, Down, Up, Right };

// The position a key asks for (before the range rule), held within the 32-bit range.
int32_t KeyTarget(Key key, int32_t position, int32_t min, int32_t max, int32_t pageSize);

// --- Painting -----------------------------------------------------------------------------------

// Colours by role; the widget maps them onto the palette and the indicator colour.
enum class Colour { Face, Highlight, Shadow, Black, Line };

// A rectangle as left, top, right, bottom, the right and bottom edges exclusive.
struct Box {
    int left, top, right, bottom;
    bool operator==(const Box&) const = default;
};

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};

struct Stroke {
    enum class Kind { FilledEllipse, Ellipse, Arc, Line };
    Kind kind;
    Colour colour;
    int penWidth = 1;
    Box box{};           // ellipses and arcs
    int startAngle = 0;  // arcs: degrees counter-clockwise from 3 o'clock
    int spanAngle = 0;   // arcs: degrees, positive counter-clockwise
    Point from{}, to{};  // lines
};

struct Indicator {
    Point from, to;
    bool operator==(const Indicator&) const = default;
};

// The indicator line for radius r and angle a: from r - 11 to r - 5 out from the centre (r, r),
// with y growing downwards, coordinates rounded.
Indicator IndicatorLine(int radius, int32_t angle);

// Everything painted on a side x side knob, in drawing order: face, bevel, rim, focus arc, the
// previous indicator erased (when there is one), the indicator's highlight offset by one pixel
// right and down, the indicator itself.
std::vector<Stroke> PaintPlan(int side, int32_t angle, bool enabled, bool focused,
                              const Indicator* previous);

}  // namespace sw::knob
