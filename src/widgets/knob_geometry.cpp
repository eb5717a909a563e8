#include "widgets/knob_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sw::knob {
namespace {

constexpr double kInt32Min = std::numeric_limits<int32_t>::min();
constexpr double kInt32Max = std::numeric_limits<int32_t>::max();

// Rounds to nearest with ties to even, as every rounding of the knob does, and holds the result
// within the 32-bit range so that extreme ranges cannot overflow into the opposite end.
int32_t RoundToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(std::nearbyint(value), kInt32Min, kInt32Max));
}

int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

float DegreesPerUnit(int32_t min, int32_t max) {
    const int64_t range = int64_t(max) - min;
    if (range == 0) {
        return 0.0f;
    }
    return static_cast<float>(double(kSweep) / double(range));
}

int32_t PositionToAngle(int32_t position, int32_t min, float degreesPerUnit) {
    const double units = double(int64_t(position) - min);
    return RoundToInt32(double(kMinAngle) - std::nearbyint(units * double(degreesPerUnit)));
}

int32_t AngleToPosition(int32_t angle, int32_t min, float degreesPerUnit) {
    if (degreesPerUnit == 0.0f) {
        return min;
    }
    const double units = std::nearbyint(double(kMinAngle - int64_t(angle)) / degreesPerUnit);
    return RoundToInt32(units + double(min));
}

int32_t ClampPosition(int32_t position, int32_t min, int32_t max, float degreesPerUnit) {
    if (degreesPerUnit >= 0.0f) {
        // Equal ends give a zero rate and clamp everything onto min.
        return std::clamp(position, min, std::max(min, max));
    }
    if (position > min) {
        position = max;
    }
    if (position < max) {
        position = min;
    }
    return position;
}

int32_t MouseAngle(int x, int y, int width, int height) {
    const int cx = width / 2;
    const int cy = height / 2;
    int32_t angle;
    if (x == cx) {
        angle = y > cy ? kMinAngle : 90;
    } else {
        const double slope = double(cy - y) / double(x - cx);
        angle = RoundToInt32(std::atan(slope) * 180.0 / std::numbers::pi);
        if (x < cx) {
            angle = (angle + 540) % 360;
        }
    }
    if (angle > kMinAngle && angle <= 270) {
        angle = kMinAngle;
    }
    if (angle < kMaxAngle) {
        angle = kMaxAngle;
    }
    return angle;
}

bool InsideInscribedEllipse(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const double rx = width / 2.0;
    const double ry = height / 2.0;
    const double dx = (x + 0.5 - rx) / rx;
    const double dy = (y + 0.5 - ry) / ry;
    return dx * dx + dy * dy <= 1.0;
}

int SquareSide(int previousSide, int width, int height) {
    if (width > previousSide || height > previousSide) {
        return std::max(width, height);
    }
    if (width < previousSide || height < previousSide) {
        return std::min(width, height);
    }
    return previousSide;
}

void State::Assign(int32_t newPosition, int32_t newMin, int32_t newMax) {
    if (newMin != min || newMax != max) {
        min = newMin;
        max = newMax;
        degreesPerUnit = DegreesPerUnit(min, max);
    }
    position = ClampPosition(newPosition, min, max, degreesPerUnit);
    angle = PositionToAngle(position, min, degreesPerUnit);
}

int64_t State::Span() const {
    const int64_t range = int64_t(max) - min;
    return range < 0 ? -range : range;
}

int32_t KeyTarget(Key key, int32_t position, int32_t min, int32_t max, int32_t pageSize) {
    switch (key) {
        case Key::PageUp:
            return Saturate(int64_t(position) + pageSize);
        case Key::PageDown:
            return Saturate(int64_t(position) - pageSize);
        case Key::End:
            return max;
        case Key::Home:
            return min;
        case Key::Left:
        case Key::Down:
            return Saturate(int64_t(position) - 1);
        case Key::Up:
        case Key::Right:
            return Saturate(int64_t(position) + 1);
    }
    return position;
}

Indicator IndicatorLine(int radius, int32_t angle) {
    const double a = angle * std::numbers::pi / 180.0;
    const auto at = [&](int length) {
        return Point{RoundToInt32(radius + length * std::cos(a)),
                     RoundToInt32(radius - length * std::sin(a))};
    };
    return {at(radius - 11), at(radius - 5)};
}

std::vector<Stroke> PaintPlan(int side, int32_t angle, bool enabled, bool focused,
                              const Indicator* previous) {
    const Box face{2, 2, side - 2, side - 2};
    const Box whole{0, 0, side, side};
    const Box focusRing{1, 1, side - 1, side - 1};
    std::vector<Stroke> plan;
    plan.push_back({.kind = Stroke::Kind::FilledEllipse, .colour = Colour::Face, .box = face});
    // Light from the upper left: the upper-left half of the bevel is lit, the rest shaded.
    plan.push_back({.kind = Stroke::Kind::Arc,
                    .colour = Colour::Highlight,
                    .penWidth = 2,
                    .box = face,
                    .startAngle = 45,
                    .spanAngle = 180});
    plan.push_back({.kind = Stroke::Kind::Arc,
                    .colour = Colour::Shadow,
                    .penWidth = 2,
                    .box = face,
                    .startAngle = 225,
                    .spanAngle = 180});
    plan.push_back({.kind = Stroke::Kind::Ellipse,
                    .colour = enabled ? Colour::Black : Colour::Shadow,
                    .box = whole});
    plan.push_back({.kind = Stroke::Kind::Arc,
                    .colour = focused ? Colour::Black : Colour::Shadow,
                    .box = focusRing,
                    .startAngle = 225,
                    .spanAngle = 180});
    const auto line = [&](Colour colour, Point from, Point to) {
        plan.push_back({.kind = Stroke::Kind::Line, .colour = colour, .from = from, .to = to});
    };
    const auto shifted = [](Point p) { return Point{p.x + 1, p.y + 1}; };
    if (previous != nullptr) {
        line(Colour::Face, shifted(previous->from), shifted(previous->to));
        line(Colour::Face, previous->from, previous->to);
    }
    const Indicator indicator = IndicatorLine(side / 2, angle);
    line(Colour::Highlight, shifted(indicator.from), shifted(indicator.to));
    line(Colour::Line, indicator.from, indicator.to);
    return plan;
}

}  // namespace sw::knob
