#include "cutter/ui/waveform_canvas.h"

#include <QAccessible>
#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "cutter/ui/keypad_key.h"
#include "cutter/waveform_ruler.h"
#include "stream/time_code.h"

namespace sw {
namespace {

// Pointer moves shorter than this are a click, longer ones a drag.
constexpr double kDragDistance = 3;
constexpr int kLaneRows = 3;
// Each wheel notch zooms by this factor.
constexpr double kWheelZoom = 1.5;
// Decoded levels arriving are drawn at most this often; estimates as they come.
constexpr qint64 kLevelsRedrawMs = 100;

QColor Mix(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * share),
                            float(a.greenF() + (b.greenF() - a.greenF()) * share),
                            float(a.blueF() + (b.blueF() - a.blueF()) * share));
}

// The pixel column the pointer is in, taken at its middle.
double PointerX(const QMouseEvent* event) {
    return std::floor(event->position().x()) + 0.5;
}

}  // namespace

WaveformCanvas::WaveformCanvas(WaveformCutter& cutter, QWidget* parent)
    : QWidget(parent), cutter_(cutter) {
    setObjectName("WaveformCanvas");
    setAccessibleName("Waveform");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 90);
    scale_.SetWidth(width());
}

int WaveformCanvas::RowHeight() const {
    return fontMetrics().height() + 4;
}

int WaveformCanvas::LaneRows() const {
    int rows = 1;
    for (const int row : cueRows_) {
        rows = std::max(rows, row + 1);
    }
    return rows;
}

QRect WaveformCanvas::RulerRect() const {
    return {0, 0, width(), fontMetrics().height() + 8};
}

QRect WaveformCanvas::CueLaneRect() const {
    return {0, RulerRect().bottom() + 1, width(), RowHeight() * LaneRows()};
}

QRect WaveformCanvas::LevelsRect() const {
    const int top = CueLaneRect().bottom() + 1;
    return {0, top, width(), std::max(1, height() - top)};
}

double WaveformCanvas::HandleTolerance() const {
    return 4;
}

void WaveformCanvas::ShowFile(std::shared_ptr<const LevelEnvelope> envelope) {
    envelope_ = std::move(envelope);
    scale_.SetFrames(cutter_.File() != nullptr ? cutter_.FrameCount() : 0);
    drag_ = Drag::None;
    keyAnchor_ = -1;
    position_ = -1;
    drawnCoarse_ = drawnExact_ = 0;
    ViewMoved();
    Tick();
}

void WaveformCanvas::SetCues(std::vector<WaveformCue> cues) {
    cues_ = std::move(cues);
    spans_.clear();
    for (const WaveformCue& cue : cues_) {
        spans_.push_back(cue.span);
    }
    cueRows_ = CueRows(spans_, kLaneRows);
    Refresh();
}

void WaveformCanvas::Refresh() {
    stale_ = true;
    update();
    emit SummaryChanged();
}

void WaveformCanvas::ViewMoved() {
    stale_ = true;
    update();
    emit ViewChanged();
}

void WaveformCanvas::Tick() {
    const int32_t now = HasFile() ? cutter_.Position() : -1;
    if (now != position_) {
        const int32_t previous = position_;
        position_ = now;
        // Playing past the right edge turns the page, unless the user holds the view.
        const bool wasInView =
            previous >= scale_.First() && previous < scale_.First() + scale_.VisibleFrames();
        const bool inView = now >= scale_.First() && now < scale_.First() + scale_.VisibleFrames();
        if (now >= 0 && wasInView && !inView && drag_ == Drag::None) {
            scale_.ScrollTo(now - scale_.VisibleFrames() * 0.05);
            ViewMoved();
        }
        UpdatePositionLine(previous);
        emit SummaryChanged();
    }
    if (envelope_) {
        const int32_t coarse = envelope_->CoarseFrames();
        const int32_t exact = envelope_->ExactFrames();
        const qint64 ms = QDateTime::currentMSecsSinceEpoch();
        if (coarse != drawnCoarse_ ||
            (exact != drawnExact_ &&
             (ms - lastLevelsRender_ >= kLevelsRedrawMs || exact == envelope_->Frames()))) {
            stale_ = true;
            update(LevelsRect());
        }
    }
}

void WaveformCanvas::UpdatePositionLine(int32_t previous) {
    for (const int32_t frame : {previous, position_}) {
        if (frame >= 0) {
            const int x = int(std::floor(scale_.XOf(frame)));
            update(QRect(x - 2, 0, 5, height()));
        }
    }
}

QString WaveformCanvas::Summary() const {
    if (!HasFile()) {
        return QStringLiteral("No file");
    }
    auto text = [this](int64_t frame) { return QString::fromStdString(cutter_.FrameText(frame)); };
    return QStringLiteral("Position %1   Mark-in %2   Mark-out %3")
        .arg(text(cutter_.Position()), text(cutter_.MarkIn()), text(cutter_.MarkOut()));
}

void WaveformCanvas::ZoomIn() {
    const double x = position_ >= 0 ? scale_.XOf(position_ + 0.5) : width() / 2.0;
    scale_.ZoomAround(std::clamp(x, 0.0, double(width())), 2.0);
    ViewMoved();
}

void WaveformCanvas::ZoomOut() {
    const double x = position_ >= 0 ? scale_.XOf(position_ + 0.5) : width() / 2.0;
    scale_.ZoomAround(std::clamp(x, 0.0, double(width())), 0.5);
    ViewMoved();
}

void WaveformCanvas::ZoomToSelection() {
    if (HasFile()) {
        scale_.Show(cutter_.MarkIn(), double(cutter_.MarkOut()) + 1);
        ViewMoved();
    }
}

void WaveformCanvas::WholeFile() {
    scale_.ShowWhole();
    ViewMoved();
}

void WaveformCanvas::resizeEvent(QResizeEvent*) {
    scale_.SetWidth(width());
    ViewMoved();
}

void WaveformCanvas::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange) {
        ViewMoved();
    }
    QWidget::changeEvent(event);
}

void WaveformCanvas::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (stale_ || picture_.size() != size() * ratio || picture_.devicePixelRatio() != ratio) {
        Render();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
    if (position_ >= 0 && HasFile()) {
        const double x = scale_.XOf(position_);
        if (x >= -1 && x <= width() + 1) {
            painter.setPen(QPen(palette().color(QPalette::Text), 2));
            painter.drawLine(QPointF(x, 0), QPointF(x, height()));
        }
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void WaveformCanvas::Render() {
    const qreal ratio = devicePixelRatioF();
    picture_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(palette().color(QPalette::Base));
    stale_ = false;
    QPainter painter(&picture_);
    RenderRuler(painter);
    RenderCues(painter);
    if (HasFile()) {
        RenderSelection(painter);
        RenderLevels(painter);
    } else {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(LevelsRect(), Qt::AlignCenter,
                         cutter_.File() != nullptr ? QStringLiteral("The file has no frames")
                                                   : QStringLiteral("No file open in the cutter"));
    }
}

void WaveformCanvas::RenderRuler(QPainter& painter) {
    const QRect ruler = RulerRect();
    painter.fillRect(ruler, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(ruler.bottomLeft(), ruler.bottomRight());
    if (!HasFile()) {
        return;
    }
    const int32_t fps = cutter_.ShowsTime() ? FrameRate(cutter_.File()->FrameInfo) : 0;
    const QString widest = QString::fromStdString(cutter_.FrameText(scale_.Frames()));
    const double labelPixels = fontMetrics().horizontalAdvance(widest) + 16;
    const int64_t step = RulerStep(scale_.FramesPerPixel(), labelPixels, fps);
    const int32_t parts = RulerDivisions(step, scale_.FramesPerPixel(), 6);
    const int64_t tick = step / parts;
    const int64_t first = int64_t(scale_.First()) / tick * tick;
    const double end = scale_.First() + scale_.VisibleFrames();
    painter.setPen(palette().color(QPalette::WindowText));
    for (int64_t frame = first; frame <= end; frame += tick) {
        const double x = scale_.XOf(double(frame));
        const bool labelled = frame % step == 0;
        painter.drawLine(QPointF(x, ruler.bottom() - (labelled ? 7 : 3)),
                         QPointF(x, ruler.bottom()));
        if (labelled) {
            painter.drawText(QPointF(x + 3, ruler.top() + fontMetrics().ascent() + 2),
                             QString::fromStdString(cutter_.FrameText(frame)));
        }
    }
}

void WaveformCanvas::RenderCues(QPainter& painter) {
    const QRect lane = CueLaneRect();
    painter.fillRect(lane, palette().color(QPalette::AlternateBase));
    if (!HasFile()) {
        return;
    }
    const QColor edge = palette().color(QPalette::LinkVisited);
    const QColor fill = Mix(palette().color(QPalette::Base), edge, 0.3);
    const int rowHeight = RowHeight();
    for (size_t i = 0; i < cues_.size(); ++i) {
        const CueSpan& span = cues_[i].span;
        const double x0 = std::max(scale_.XOf(std::min(span.markIn, span.markOut)), -2.0);
        const double x1 =
            std::min(scale_.XOf(double(std::max(span.markIn, span.markOut)) + 1), width() + 2.0);
        if (x1 < 0 || x0 > width()) {
            continue;
        }
        const QRectF box(x0, lane.top() + cueRows_[i] * rowHeight + 1, std::max(2.0, x1 - x0),
                         rowHeight - 2);
        painter.setPen(edge);
        painter.setBrush(fill);
        painter.drawRect(box);
        if (box.width() > 16) {
            painter.setPen(palette().color(QPalette::Text));
            const QString name = fontMetrics().elidedText(QString::fromStdString(cues_[i].name),
                                                          Qt::ElideRight, int(box.width()) - 6);
            painter.drawText(box.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, name);
        }
    }
    painter.setBrush(Qt::NoBrush);
}

void WaveformCanvas::RenderSelection(QPainter& painter) {
    const QRect levels = LevelsRect();
    const int32_t markIn = cutter_.MarkIn();
    const int32_t markOut = cutter_.MarkOut();
    const double x0 = scale_.XOf(markIn);
    const double x1 = scale_.XOf(double(markOut) + 1);
    QColor shade = palette().color(QPalette::Highlight);
    shade.setAlpha(70);
    painter.fillRect(QRectF(x0, levels.top(), x1 - x0, levels.height()), shade);
}

void WaveformCanvas::RenderLevels(QPainter& painter) {
    const QRect levels = LevelsRect();
    const qreal ratio = devicePixelRatioF();
    const QColor base = palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::Link);
    const QColor peakColor = Mix(base, ink, 0.55);
    const QColor estimateColor = Mix(base, palette().color(QPalette::Text), 0.25);
    const double middle = levels.top() + levels.height() / 2.0;
    const double half = levels.height() / 2.0 - 2;

    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(QPointF(0, middle), QPointF(width(), middle));

    if (envelope_) {
        drawnCoarse_ = envelope_->CoarseFrames();
        drawnExact_ = envelope_->ExactFrames();
        lastLevelsRender_ = QDateTime::currentMSecsSinceEpoch();
        // One line per device pixel: the frames whose span meets that pixel.
        painter.save();
        painter.scale(1 / ratio, 1 / ratio);
        const int columns = int(std::ceil(width() * ratio));
        for (int column = 0; column < columns; ++column) {
            const double from = scale_.First() + column / ratio * scale_.FramesPerPixel();
            const double to = scale_.First() + (column + 1) / ratio * scale_.FramesPerPixel();
            const int32_t first = int32_t(std::floor(from));
            const int32_t end = std::max(first + 1, int32_t(std::ceil(to)));
            const ColumnLevel level = envelope_->Column(first, end);
            if (level.peak == 0) {
                continue;
            }
            const double peak = half * level.peak / kFullScaleLevel;
            const double x = column + 0.5;
            painter.setPen(level.exact ? peakColor : estimateColor);
            painter.drawLine(QPointF(x, (middle - peak) * ratio),
                             QPointF(x, (middle + peak) * ratio));
            if (level.exact && level.rms > 0) {
                const double rms = half * level.rms / kFullScaleLevel;
                painter.setPen(ink);
                painter.drawLine(QPointF(x, (middle - rms) * ratio),
                                 QPointF(x, (middle + rms) * ratio));
            }
        }
        painter.restore();
    }

    // Deep in, where a frame is a few pixels wide, its edges show where a cut can fall.
    if (scale_.XOf(1) - scale_.XOf(0) >= 4) {
        painter.setPen(Mix(base, palette().color(QPalette::Text), 0.18));
        const int32_t first = scale_.FrameAt(0);
        const int32_t last = scale_.FrameAt(width());
        for (int32_t frame = first; frame <= last + 1; ++frame) {
            const double x = scale_.XOf(frame);
            painter.drawLine(QPointF(x, levels.top()), QPointF(x, levels.bottom()));
        }
    }

    // The handles: a flag on each edge of the selection, pointing into it.
    const QColor handle = palette().color(QPalette::Highlight);
    painter.setPen(QPen(handle, 1));
    painter.setBrush(handle);
    const double in = scale_.XOf(cutter_.MarkIn());
    const double out = scale_.XOf(double(cutter_.MarkOut()) + 1);
    const double top = levels.top();
    painter.drawLine(QPointF(in, top), QPointF(in, levels.bottom()));
    painter.drawLine(QPointF(out, top), QPointF(out, levels.bottom()));
    const QPointF inFlag[3] = {{in, top}, {in + 7, top + 4}, {in, top + 8}};
    const QPointF outFlag[3] = {{out, top}, {out - 7, top + 4}, {out, top + 8}};
    painter.drawPolygon(inFlag, 3);
    painter.drawPolygon(outFlag, 3);
    painter.setBrush(Qt::NoBrush);
}

int WaveformCanvas::CueRowAt(double y) const {
    const QRect lane = CueLaneRect();
    if (y < lane.top() || y > lane.bottom()) {
        return -1;
    }
    return int((y - lane.top()) / RowHeight());
}

void WaveformCanvas::SeekTo(int64_t frame) {
    if (!HasFile()) {
        return;
    }
    const int32_t clamped = int32_t(std::clamp<int64_t>(frame, 0, scale_.Frames() - 1));
    cutter_.Seek(clamped);
    if (scale_.Reveal(clamped)) {
        ViewMoved();
    }
    Tick();
}

void WaveformCanvas::MoveByKey(int64_t frame, bool extend) {
    if (!HasFile()) {
        return;
    }
    const int32_t target = int32_t(std::clamp<int64_t>(frame, 0, scale_.Frames() - 1));
    if (!extend) {
        keyAnchor_ = -1;
        SeekTo(target);
        return;
    }
    if (keyAnchor_ < 0) {
        // Growing a selection from one of its ends keeps the other end; from elsewhere it
        // starts at the position.
        const int32_t here = cutter_.Position();
        keyAnchor_ = here == cutter_.MarkOut()  ? cutter_.MarkIn()
                     : here == cutter_.MarkIn() ? cutter_.MarkOut()
                                                : here;
    }
    const MarkRange marks = MarksBetween(keyAnchor_, target);
    cutter_.SetMarks(marks.markIn, marks.markOut);
    SeekTo(target);
}

void WaveformCanvas::keyPressEvent(QKeyEvent* event) {
    if (!HasFile()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const int64_t here = cutter_.Position();
    const int64_t page = std::max<int64_t>(1, int64_t(scale_.VisibleFrames()));
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int sign = event->key() == Qt::Key_Left ? -1 : 1;
            if (control) {
                scale_.ScrollBy(sign * width() / 4.0);
                ViewMoved();
            } else {
                MoveByKey(here + sign * StepFrames(scale_), extend);
            }
            break;
        }
        case Qt::Key_PageUp:
            MoveByKey(here - page, extend);
            break;
        case Qt::Key_PageDown:
            MoveByKey(here + page, extend);
            break;
        case Qt::Key_Home:
            MoveByKey(0, extend);
            break;
        case Qt::Key_End:
            MoveByKey(scale_.Frames() - 1, extend);
            break;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const int32_t start = NextCueStart(spans_, int32_t(here), event->key() == Qt::Key_Down);
            if (start >= 0) {
                MoveByKey(start, false);
            }
            break;
        }
        case Qt::Key_BracketLeft:
            cutter_.SetMarks(int32_t(here), std::max(int32_t(here), cutter_.MarkOut()));
            break;
        case Qt::Key_BracketRight:
            cutter_.SetMarks(std::min(int32_t(here), cutter_.MarkIn()), int32_t(here));
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter alone is the cutter's (the selection to the cue list), as everywhere.
            if (extend) {
                const int found = CueAt(spans_, cueRows_, int32_t(here), -1);
                if (found >= 0) {
                    cutter_.ReviewCue(cues_[size_t(found)].cue);
                }
                break;
            }
            [[fallthrough]];
        default:
            // Play, pause, the marks and the rest of the cutter's keys act as in the cutter.
            if (!cutter_.RunKeyCommand(CutterKeyCommand(*event))) {
                QWidget::keyPressEvent(event);
                return;
            }
    }
    event->accept();
}

void WaveformCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !HasFile()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const double x = PointerX(event);
    keyAnchor_ = -1;
    const WaveformGrip grip =
        LevelsRect().contains(event->position().toPoint())
            ? GripAt(scale_, x, cutter_.MarkIn(), cutter_.MarkOut(), HandleTolerance())
            : WaveformGrip::None;
    if (grip != WaveformGrip::None) {
        drag_ = Drag::Handle;
        anchor_ = GripAnchor(grip, cutter_.MarkIn(), cutter_.MarkOut());
    } else {
        drag_ = Drag::Pending;
        anchor_ = scale_.FrameAt(x);
    }
    pressX_ = x;
}

void WaveformCanvas::mouseMoveEvent(QMouseEvent* event) {
    const double x = PointerX(event);
    if (drag_ == Drag::None) {
        const bool overHandle = HasFile() && LevelsRect().contains(event->position().toPoint()) &&
                                GripAt(scale_, x, cutter_.MarkIn(), cutter_.MarkOut(),
                                       HandleTolerance()) != WaveformGrip::None;
        setCursor(overHandle ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    if (drag_ == Drag::Pending && std::abs(x - pressX_) >= kDragDistance) {
        drag_ = Drag::Selecting;
    }
    if (drag_ == Drag::Selecting || drag_ == Drag::Handle) {
        const MarkRange marks = MarksBetween(anchor_, scale_.FrameAt(x));
        if (marks.markIn != cutter_.MarkIn() || marks.markOut != cutter_.MarkOut()) {
            cutter_.SetMarks(marks.markIn, marks.markOut);
        }
    }
}

void WaveformCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (drag_ == Drag::Pending) {
        // A click seeks, as the seek bar's end of scroll does.
        drag_ = Drag::None;
        SeekTo(anchor_);
        return;
    }
    drag_ = Drag::None;
}

void WaveformCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = CueRowAt(event->position().y());
    if (event->button() != Qt::LeftButton || row < 0 || !HasFile()) {
        mousePressEvent(event);
        return;
    }
    const int found = CueAt(spans_, cueRows_, scale_.FrameAt(PointerX(event)), row);
    if (found >= 0) {
        drag_ = Drag::None;
        cutter_.ReviewCue(cues_[size_t(found)].cue);
    }
}

void WaveformCanvas::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (!HasFile()) {
        return;
    }
    const QPoint delta = event->angleDelta();
    if (event->modifiers().testFlag(Qt::ShiftModifier) ||
        std::abs(delta.x()) > std::abs(delta.y())) {
        // Shift turns the wheel into a scroll (some systems also swap the axes for it).
        const int amount = delta.x() != 0 ? delta.x() : delta.y();
        scale_.ScrollBy(-amount / double(WheelAccumulator::kNotch) * width() / 8.0);
        ViewMoved();
        return;
    }
    const int notches = wheel_.Add(delta.y());
    if (notches != 0) {
        scale_.ZoomAround(event->position().x(), std::pow(kWheelZoom, notches));
        ViewMoved();
    }
}

}  // namespace sw
