#include "widgets/ui/knob.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/ui/knob_accessibility.h"

namespace sw {
namespace {

constexpr int kInitialSide = 40;

std::optional<knob::Key> KnobKey(int key) {
    switch (key) {
        case Qt::Key_PageUp:
            return knob::Key::PageUp;
        case Qt::Key_PageDown:
            return knob::Key::PageDown;
        case Qt::Key_End:
            return knob::Key::End;
        case Qt::Key_Home:
            return knob::Key::Home;
        case Qt::Key_Left:
            return knob::Key::Left;
        case Qt::Key_Down:
            return knob::Key::Down;
        case Qt::Key_Up:
            return knob::Key::Up;
        case Qt::Key_Right:
            return knob::Key::Right;
        default:
            return std::nullopt;
    }
}

QRectF StrokeRect(const knob::Box& box, int penWidth) {
    // The box's right and bottom edges are exclusive; a pen is centred on the path, so the path
    // runs half a pen inside the box to keep every painted pixel in it.
    const double inset = penWidth / 2.0;
    return QRectF(box.left + inset, box.top + inset, box.right - box.left - 2 * inset,
                  box.bottom - box.top - 2 * inset);
}

}  // namespace

TKnob::TKnob(QWidget* parent) : QWidget(parent) {
    InstallKnobAccessibility();
    setObjectName("Knob");
    setAccessibleName("Knob");
    // Tab focus only: a click takes the focus only inside the round face, which the press
    // handler decides.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    lineColor_ = palette().color(QPalette::Active, QPalette::Highlight);
    resize(kInitialSide, kInitialSide);
}

TKnob::~TKnob() = default;

void TKnob::SetParams(int32_t position, int32_t min, int32_t max) {
    state_.Assign(position, min, max);
    update();
    UpdateLabel();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, state_.position);
        QAccessible::updateAccessibility(&changed);
    }
    emit OnChange(this);
}

void TKnob::SetSpringLoaded(bool springLoaded) {
    springLoaded_ = springLoaded;
    if (springLoaded_) {
        SetPosition(0);
    }
}

void TKnob::SetLineColor(const QColor& colour) {
    if (colour == palette().color(QPalette::Button)) {
        return;
    }
    lineColor_ = colour;
    update();
}

QLabel* TKnob::PositionLabel() const {
    return label_;
}

void TKnob::SetPositionLabel(QLabel* label) {
    label_ = label;
    UpdateLabel();
}

void TKnob::SetCaption(const QString& caption) {
    caption_ = caption;
    UpdateLabel();
}

QString TKnob::PositionText() const {
    return QString::number(state_.position) + ' ' + caption_;
}

void TKnob::UpdateLabel() {
    if (label_ != nullptr) {
        label_->setText(PositionText());
    }
}

QSize TKnob::sizeHint() const {
    return QSize(side_, side_);
}

QSize TKnob::minimumSizeHint() const {
    return QSize(side_, side_);
}

bool TKnob::event(QEvent* event) {
    // Only the knob's own show and hide carry over to the label; a hidden parent window hides
    // both anyway.
    if (label_ != nullptr) {
        if (event->type() == QEvent::ShowToParent) {
            label_->show();
        } else if (event->type() == QEvent::HideToParent) {
            label_->hide();
        }
    }
    return QWidget::event(event);
}

void TKnob::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && label_ != nullptr) {
        label_->setEnabled(isEnabled());
    }
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void TKnob::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Opaque: the corners outside the face show the parent's colour.
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const auto colourOf = [&](knob::Colour colour) -> QColor {
        switch (colour) {
            case knob::Colour::Face:
                return palette().color(QPalette::Button);
            case knob::Colour::Highlight:
                return palette().color(QPalette::Light);
            case knob::Colour::Shadow:
                return palette().color(QPalette::Dark);
            case knob::Colour::Black:
                return Qt::black;
            case knob::Colour::Line:
                return lineColor_;
        }
        return Qt::black;
    };
    const knob::Indicator* previous = lastIndicator_ ? &*lastIndicator_ : nullptr;
    for (const knob::Stroke& stroke :
         knob::PaintPlan(side_, state_.angle, isEnabled(), hasFocus(), previous)) {
        const QColor colour = colourOf(stroke.colour);
        painter.setPen(QPen(colour, stroke.penWidth));
        switch (stroke.kind) {
            case knob::Stroke::Kind::FilledEllipse:
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.setBrush(colour);
                painter.drawEllipse(StrokeRect(stroke.box, stroke.penWidth));
                painter.setBrush(Qt::NoBrush);
                break;
            case knob::Stroke::Kind::Ellipse:
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.drawEllipse(StrokeRect(stroke.box, stroke.penWidth));
                break;
            case knob::Stroke::Kind::Arc:
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.drawArc(StrokeRect(stroke.box, stroke.penWidth), stroke.startAngle * 16,
                                stroke.spanAngle * 16);
                break;
            case knob::Stroke::Kind::Line:
                // The indicator stays crisp: it is the one thing the eye reads on the knob.
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.drawLine(stroke.from.x, stroke.from.y, stroke.to.x, stroke.to.y);
                break;
        }
    }
    lastIndicator_ = knob::IndicatorLine(Radius(), state_.angle);
}

void TKnob::resizeEvent(QResizeEvent* event) {
    side_ = knob::SquareSide(side_, width(), height());
    if (width() != side_ || height() != side_) {
        resize(side_, side_);
    }
    updateGeometry();
    QWidget::resizeEvent(event);
}

int32_t TKnob::PositionOfMouse() const {
    return knob::AngleToPosition(lastMouseAngle_, state_.min, state_.degreesPerUnit);
}

void TKnob::TrackMouse(const QPoint& point) {
    lastMouseAngle_ = knob::MouseAngle(point.x(), point.y(), width(), height());
}

void TKnob::mouseMoveEvent(QMouseEvent* event) {
    TrackMouse(event->position().toPoint());
    if (dragging_ && PositionOfMouse() != state_.position) {
        SetPosition(PositionOfMouse());
    }
    QWidget::mouseMoveEvent(event);
}

void TKnob::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton ||
        !knob::InsideInscribedEllipse(point.x(), point.y(), width(), height())) {
        QWidget::mousePressEvent(event);
        return;
    }
    // A press may come without a move before it (a click on a window that just appeared), so the
    // angle is taken at the press itself.
    TrackMouse(point);
    setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    SetPosition(PositionOfMouse());
}

void TKnob::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    TrackMouse(event->position().toPoint());
    if (springLoaded_) {
        SetPosition(0);
    } else if (PositionOfMouse() != state_.position) {
        SetPosition(PositionOfMouse());
    }
    dragging_ = false;
}

void TKnob::keyPressEvent(QKeyEvent* event) {
    const std::optional<knob::Key> key = KnobKey(event->key());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    SetPosition(knob::KeyTarget(*key, state_.position, state_.min, state_.max, pageSize_));
    event->accept();
}

void TKnob::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void TKnob::focusOutEvent(QFocusEvent* event) {
    dragging_ = false;
    if (springLoaded_) {
        SetPosition(0);
    }
    update();
    QWidget::focusOutEvent(event);
}

void TKnob::leaveEvent(QEvent* event) {
    UpdateLabel();
    QWidget::leaveEvent(event);
}

}  // namespace sw
